#include "Pictures.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <array>

namespace {

const QColor kFrameBlue(185, 208, 240);
const QColor kArrowBlue(108, 160, 228);
const QColor kButtonFill(89, 150, 231);
const QColor kButtonBorder(100, 153, 222);
const QColor kGold(228, 194, 127);
const QColor kGoldGlow(244, 226, 190);

// A white picture of width x height design pixels, `scale` pixels to each;
// it is drawn on in design pixels.
QImage blankPicture(int width, int height, int scale) {
  QImage image(width * scale, height * scale, QImage::Format_RGB888);
  image.setDevicePixelRatio(scale);
  image.fill(Qt::white);
  return image;
}

// A one-design-pixel outline along the picture's edge, in whole pixels so
// that it stays crisp at every scale.
void drawEdge(QImage& image, const QColor& color, int inset = 0) {
  const QSize size = image.deviceIndependentSize().toSize();
  const QRect box = QRect(QPoint(0, 0), size).adjusted(inset, inset, -inset, -inset);
  QPainter painter(&image);
  painter.fillRect(box.left(), box.top(), box.width(), 1, color);
  painter.fillRect(box.left(), box.bottom(), box.width(), 1, color);
  painter.fillRect(box.left(), box.top(), 1, box.height(), color);
  painter.fillRect(box.right(), box.top(), 1, box.height(), color);
}

void drawCircledLeftArrow(QImage& image, QPointF centre, qreal radius) {
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(kArrowBlue, 1.5));
  painter.drawEllipse(centre, radius, radius);

  const qreal head = radius * 0.45;
  QPen arrowPen(kArrowBlue, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  painter.setPen(arrowPen);
  const QPointF tip = centre - QPointF(radius * 0.5, 0);
  painter.drawLine(tip, centre + QPointF(radius * 0.5, 0));
  painter.drawPolyline(
      std::array{tip + QPointF(head, -head), tip, tip + QPointF(head, head)}.data(), 3);
}

QImage framedWithArrow(int width, int height, QPointF arrowCentre, qreal radius, int scale) {
  QImage image = blankPicture(width, height, scale);
  drawEdge(image, kFrameBlue);
  drawCircledLeftArrow(image, arrowCentre, radius);
  return image;
}

QFont captionFont(int pixelSize) {
  QFont font(Pictures::kCaptionFamily);
  font.setPixelSize(pixelSize);
  font.setBold(true);
  return font;
}

// A magnifier whose lens is centred at centre; the handle points down-right.
void drawMagnifier(QPainter& painter, QPointF centre, qreal radius, const QColor& color,
                   qreal lensWidth, qreal handleWidth) {
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(color, lensWidth));
  painter.drawEllipse(centre, radius, radius);
  const QPointF direction(0.7071, 0.7071);
  painter.setPen(QPen(color, handleWidth, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(centre + direction * (radius + lensWidth / 2),
                   centre + direction * (radius * 1.9));
}

// Pointer pixels: 'X' black outline, 'o' white fill, '.' transparent.
constexpr std::array<const char*, 22> kHandRows = {
    ".....XX.........",  //
    "....XooX........",  //
    "....XooX........",  //
    "....XooX........",  //
    "....XooX........",  //
    "....XooXXX......",  //
    "....XooXooXXX...",  //
    "....XooXooXooXX.",  //
    "....XooXooXooXoX",  //
    "XXX.XooXooXooXoX",  //
    "XooXXooooooooXoX",  //
    "XoooXooooooooooX",  //
    ".XooXooooooooooX",  //
    "..XoXooooooooooX",  //
    "..XooooooooooooX",  //
    "...XoooooooooooX",  //
    "...XooooooooooX.",  //
    "....XoooooooooX.",  //
    "....XoooooooooX.",  //
    ".....XooooooooX.",  //
    ".....XooooooooX.",  //
    ".....XXXXXXXXXX.",  //
};

void drawParcel(QPainter& painter) {
  const QRectF body(20, 70, 170, 150);
  painter.setPen(QPen(QColor(112, 72, 34), 8, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
  painter.setBrush(QColor(196, 140, 78));
  painter.drawRoundedRect(body, 10, 10);

  const QRectF lid(12, 46, 186, 44);
  painter.setBrush(QColor(214, 160, 96));
  painter.drawRoundedRect(lid, 8, 8);

  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(238, 214, 168));
  painter.drawRect(QRectF(92, 50, 26, 36));
  painter.drawRect(QRectF(92, 94, 26, 122));
}

}  // namespace

namespace Pictures {

QImage courierButton(int scale) {
  return framedWithArrow(158, 40, QPointF(24, 19.5), 9.5, scale);
}

QImage backButton(int scale) {
  return framedWithArrow(102, 27, QPointF(20, 13), 8, scale);
}

QImage numberFrame(int scale) {
  QImage image = blankPicture(274, 40, scale);
  drawEdge(image, kFrameBlue);
  return image;
}

QImage focusedNumberFrame(int scale) {
  QImage image = blankPicture(275, 42, scale);
  drawEdge(image, kGoldGlow);
  drawEdge(image, kGold, 1);
  return image;
}

QImage queryButton(int scale) {
  QImage image = blankPicture(103, 40, scale);
  image.fill(kButtonFill);
  drawEdge(image, kButtonBorder);

  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  const QFont font = captionFont(15);
  const QString caption = QStringLiteral("查询");
  const int textWidth = QFontMetrics(font).horizontalAdvance(caption);
  const int symbolWidth = 17;
  const int gap = 6;
  const int width = 103, height = 40;
  const int left = (width - (symbolWidth + gap + textWidth)) / 2;

  drawMagnifier(painter, QPointF(left + 6.5, 17.5), 5.0, Qt::white, 2.0, 2.6);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(QRect(left + symbolWidth + gap, 0, textWidth + 2, height),
                   Qt::AlignLeft | Qt::AlignVCenter, caption);
  return image;
}

QImage handPointer() {
  QImage image(32, 32, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  for (int y = 0; y < int(kHandRows.size()); ++y) {
    for (int x = 0; kHandRows[y][x] != '\0'; ++x) {
      const char pixel = kHandRows[y][x];
      if (pixel == 'X') image.setPixelColor(x, y, Qt::black);
      if (pixel == 'o') image.setPixelColor(x, y, Qt::white);
    }
  }
  return image;
}

QImage programIcon(int side) {
  QImage image(side, side, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(side / 256.0, side / 256.0);

  drawParcel(painter);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(214, 234, 252, 215));
  painter.drawEllipse(QPointF(168, 160), 50, 50);
  drawMagnifier(painter, QPointF(168, 160), 50, QColor(34, 102, 204), 18, 30);
  return image;
}

}  // namespace Pictures
