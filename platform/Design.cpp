#include "Design.h"

#include "GdiInternal.h"

#include <QApplication>
#include <QFileInfo>
#include <QPalette>

#include <algorithm>

namespace ModAPI {
namespace {

constexpr uint32_t kSystemColorFlag = 0x80000000;

QColor systemColor(uint32_t index) {
  const QPalette palette = QApplication::palette();
  switch (index) {
    case 13:  // COLOR_HIGHLIGHT
      return palette.color(QPalette::Highlight);
    case 14:  // COLOR_HIGHLIGHTTEXT
      return palette.color(QPalette::HighlightedText);
    case 5:  // COLOR_WINDOW
      return palette.color(QPalette::Base);
    case 15:  // COLOR_BTNFACE
      return palette.color(QPalette::Button);
    default:  // COLOR_BTNTEXT, COLOR_WINDOWTEXT and the rest
      return palette.color(QPalette::WindowText);
  }
}

}  // namespace

QColor OleColor(uint32_t value) {
  if (value & kSystemColorFlag) return systemColor(value & 0xFF);
  return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

QFont DesignFont(const QString& family, double points, bool bold) {
  QFont font(family);
  font.setPixelSize(qRound(points * 96.0 / 72.0));
  font.setBold(bold);
  return font;
}

QPixmap DesignPicture(const QString& path) {
  const qreal density = qApp->devicePixelRatio();
  const QString larger = LargerVersionPath(path);
  // The reader gives a picture named "@2x" its density.
  QPixmap picture(density > 1 && QFileInfo::exists(larger) ? larger : path);
  if (picture.isNull() || picture.devicePixelRatio() == density) return picture;
  const QSize size = picture.deviceIndependentSize().toSize();
  picture = picture.scaled(QSizeF(size * density).toSize(), Qt::IgnoreAspectRatio,
                           Qt::SmoothTransformation);
  picture.setDevicePixelRatio(density);
  return picture;
}

QCursor DesignCursor(const QString& path, QPoint hotSpot) {
  const int times = std::max(1, int(qApp->devicePixelRatio()));
  QPixmap picture(path);
  if (times > 1) {
    picture = picture.scaled(picture.size() * times, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    picture.setDevicePixelRatio(times);
  }
  // The pointer's hot spot is taken in the pixmap's own pixels.
  return QCursor(picture, hotSpot.x() * times, hotSpot.y() * times);
}

void InstallFontSubstitutes() {
  QFont::insertSubstitutions(QStringLiteral("微软雅黑"), {QStringLiteral("Microsoft YaHei"),
                                                          QStringLiteral("WenQuanYi Micro Hei")});
  QFont::insertSubstitutions(QStringLiteral("宋体"),
                             {QStringLiteral("SimSun"), QStringLiteral("AR PL UMing CN")});
}

}  // namespace ModAPI
