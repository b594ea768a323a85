#include "SkinArt.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace SkinArt {
namespace {

// The slices of the frame picture, as "Skin.ini" names them.
constexpr int kTopLeft = 8, kTopCeter = 44, kTopRight = 8, kTopHeight = 31;
constexpr int kCetLeft = 3, kCetCeter = 54, kCetRight = 3, kCetHeight = 20;
constexpr int kBotLeft = 8, kBotCeter = 44, kBotRight = 8, kBotHeight = 8;
constexpr int kFrameWidth = kTopLeft + kTopCeter + kTopRight;
constexpr int kFrameHeight = kTopHeight + kCetHeight + kBotHeight;
// The ellipse that rounds the window's corners.
constexpr int kCorner = 8;

// The caption buttons: their glyphs are drawn on the caption band's rows
// kCmdTop.., so that a button in its normal look matches the band around it.
// They start below the outline row: the fade step blends the background
// picture over a button's whole box, while the frame keeps its one-pixel
// border clear of it, so a box over the border would leave a lighter seam.
constexpr int kCmdHeight = 20, kCloseWidth = 39, kCmdWidth = 28, kCmdTop = 1, kCmdLeft = -4;
constexpr int kSheetWidth = kCloseWidth + 4 * kCmdWidth;

constexpr int kBackWidth = 600, kBackHeight = 500;

const QColor kOutline(43, 101, 173);
const QColor kInnerEdge(190, 215, 242);
const QColor kBody(241, 247, 253);
const QColor kGlyph(255, 255, 255);

QColor mix(const QColor& from, const QColor& to, double t) {
  const auto channel = [t](int a, int b) { return qRound(a + (b - a) * t); };
  return QColor(channel(from.red(), to.red()), channel(from.green(), to.green()),
                channel(from.blue(), to.blue()));
}

// The colour of row y of the caption band: outline, highlight, gradient, separator.
QColor bandColour(int y) {
  if (y == 0) return kOutline;
  if (y == 1) return QColor(163, 207, 247);
  if (y == kTopHeight - 1) return QColor(52, 118, 196);
  return mix(QColor(104, 172, 236), QColor(58, 132, 214), (y - 2) / double(kTopHeight - 4));
}

void fillBand(QPainter& p, int width, int firstRow, int rows, int bandTop) {
  for (int y = 0; y < rows; ++y) p.fillRect(0, firstRow + y, width, 1, bandColour(bandTop + y));
}

// A picture of width x height skin pixels, `scale` pixels to each; it is
// drawn on in skin pixels.
QImage blankPicture(int width, int height, int scale) {
  QImage image(width * scale, height * scale, QImage::Format_RGB888);
  image.setDevicePixelRatio(scale);
  return image;
}

// Hover and press tints of a glyph cell.
QColor tint(int glyph, int state) {
  if (glyph == 0) return state == 1 ? QColor(226, 70, 70) : QColor(178, 40, 40);
  return state == 1 ? QColor(255, 255, 255, 70) : QColor(0, 40, 90, 60);
}

void drawClose(QPainter& p, QPointF c) {
  p.setPen(QPen(kGlyph, 1.8, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(c + QPointF(-4, -4), c + QPointF(4, 4));
  p.drawLine(c + QPointF(-4, 4), c + QPointF(4, -4));
}

void drawMaximise(QPainter& p, QPoint c) {
  p.fillRect(QRect(c.x() - 5, c.y() - 4, 11, 2), kGlyph);
  p.fillRect(QRect(c.x() - 5, c.y() - 4, 1, 9), kGlyph);
  p.fillRect(QRect(c.x() + 5, c.y() - 4, 1, 9), kGlyph);
  p.fillRect(QRect(c.x() - 5, c.y() + 4, 11, 1), kGlyph);
}

void drawRestore(QPainter& p, QPoint c) {
  // The window behind: its top and right edges peek out.
  p.fillRect(QRect(c.x() - 2, c.y() - 5, 8, 2), kGlyph);
  p.fillRect(QRect(c.x() + 5, c.y() - 5, 1, 7), kGlyph);
  p.fillRect(QRect(c.x() - 2, c.y() - 5, 1, 2), kGlyph);
  // The window in front.
  p.fillRect(QRect(c.x() - 5, c.y() - 2, 8, 2), kGlyph);
  p.fillRect(QRect(c.x() - 5, c.y() - 2, 1, 7), kGlyph);
  p.fillRect(QRect(c.x() + 2, c.y() - 2, 1, 7), kGlyph);
  p.fillRect(QRect(c.x() - 5, c.y() + 4, 8, 1), kGlyph);
}

void drawMinimise(QPainter& p, QPoint c) {
  p.fillRect(QRect(c.x() - 4, c.y() + 3, 9, 2), kGlyph);
}

void drawHelp(QPainter& p, QPointF c) {
  QPainterPath hook;
  const QRectF arc(c.x() - 3.5, c.y() - 6.5, 7, 7);
  hook.arcMoveTo(arc, 160);
  hook.arcTo(arc, 160, -235);
  hook.lineTo(c.x(), c.y() + 2);
  p.setPen(QPen(kGlyph, 1.7, Qt::SolidLine, Qt::FlatCap));
  p.drawPath(hook);
  p.setPen(Qt::NoPen);
  p.setBrush(kGlyph);
  p.drawEllipse(QPointF(c.x(), c.y() + 5), 1.1, 1.1);
}

// Glyph 0 is the close glyph at the right edge; 1..4 follow leftwards.
QRect glyphCell(int glyph, int state) {
  const int right = glyph == 0 ? kSheetWidth : kSheetWidth - kCloseWidth - (glyph - 1) * kCmdWidth;
  const int width = glyph == 0 ? kCloseWidth : kCmdWidth;
  return QRect(right - width, state * kCmdHeight, width, kCmdHeight);
}

void drawGlyph(QPainter& p, int glyph, int state) {
  const QRect cell = glyphCell(glyph, state);
  if (state > 0) p.fillRect(cell, tint(glyph, state));
  const QPoint centre(cell.left() + cell.width() / 2, cell.top() + kCmdHeight / 2);
  const QPointF exact(cell.left() + cell.width() / 2.0, cell.top() + kCmdHeight / 2.0);
  p.save();
  p.setRenderHint(QPainter::Antialiasing, glyph == 0 || glyph == 4);
  switch (glyph) {
    case 0:
      drawClose(p, exact);
      break;
    case 1:
      drawRestore(p, centre);
      break;
    case 2:
      drawMaximise(p, centre);
      break;
    case 3:
      drawMinimise(p, centre);
      break;
    default:
      drawHelp(p, QPointF(centre) + QPointF(0.5, 0));
      break;
  }
  p.restore();
}

}  // namespace

QImage framePicture(int scale) {
  QImage image = blankPicture(kFrameWidth, kFrameHeight, scale);
  image.fill(kBody);
  QPainter p(&image);
  fillBand(p, kFrameWidth, 0, kTopHeight, 0);
  const int innerHeight = kFrameHeight - 1 - kTopHeight;
  p.fillRect(1, kTopHeight, 1, innerHeight, kInnerEdge);
  p.fillRect(kFrameWidth - 2, kTopHeight, 1, innerHeight, kInnerEdge);
  p.fillRect(1, kFrameHeight - 2, kFrameWidth - 2, 1, kInnerEdge);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(kOutline, 1));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(QRectF(0.5, 0.5, kFrameWidth - 1, kFrameHeight - 1), kCorner / 2.0,
                    kCorner / 2.0);
  return image;
}

QImage buttonSheet(int scale) {
  QImage sheet = blankPicture(kSheetWidth, 3 * kCmdHeight, scale);
  QPainter p(&sheet);
  for (int state = 0; state < 3; ++state)
    fillBand(p, kSheetWidth, state * kCmdHeight, kCmdHeight, kCmdTop);
  for (int state = 0; state < 3; ++state) {
    for (int glyph = 0; glyph < 5; ++glyph) drawGlyph(p, glyph, state);
  }
  return sheet;
}

QImage backgroundPicture() {
  QImage image(kBackWidth, kBackHeight, QImage::Format_RGB888);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, kBackWidth, kBackHeight);
  sky.setColorAt(0, QColor(178, 210, 244));
  sky.setColorAt(1, QColor(250, 252, 255));
  p.fillRect(image.rect(), sky);
  const struct {
    QPointF centre;
    qreal radius;
  } bubbles[] = {{{470, 90}, 150}, {{110, 390}, 190}, {{330, 250}, 90}, {{560, 430}, 70}};
  for (const auto& bubble : bubbles) {
    QRadialGradient glow(bubble.centre, bubble.radius);
    glow.setColorAt(0, QColor(255, 255, 255, 150));
    glow.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(bubble.centre, bubble.radius, bubble.radius);
  }
  return image;
}

QByteArray skinIni() {
  const QList<QPair<const char*, QByteArray>> keys = {
      {"BackAlpha", "30"},
      {"TopLeft", QByteArray::number(kTopLeft)},
      {"TopRight", QByteArray::number(kTopRight)},
      {"TopCeter", QByteArray::number(kTopCeter)},
      {"TopHeight", QByteArray::number(kTopHeight)},
      {"CetLeft", QByteArray::number(kCetLeft)},
      {"CetRight", QByteArray::number(kCetRight)},
      {"CetCeter", QByteArray::number(kCetCeter)},
      {"CetHeight", QByteArray::number(kCetHeight)},
      {"BotLeft", QByteArray::number(kBotLeft)},
      {"BotRight", QByteArray::number(kBotRight)},
      {"BotCeter", QByteArray::number(kBotCeter)},
      {"BotHeight", QByteArray::number(kBotHeight)},
      {"CaptionColor", "&HFFFFFF"},
      {"SizeX1", QByteArray::number(kCorner)},
      {"SizeY1", QByteArray::number(kCorner)},
      {"Cmd.Height", QByteArray::number(kCmdHeight)},
      {"CmdClose.Width", QByteArray::number(kCloseWidth)},
      {"Cmd.Top", QByteArray::number(kCmdTop)},
      {"Cmd.Left", QByteArray::number(kCmdLeft)},
      {"Cmd.Width", QByteArray::number(kCmdWidth)},
  };
  QByteArray text =
      "; Skin QQ2010: frame slices, caption colour, corners, caption buttons\r\n[Main]\r\n";
  for (const auto& [key, value] : keys) text += key + QByteArray("=") + value + "\r\n";
  return text;
}

}  // namespace SkinArt
