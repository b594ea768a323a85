#include "Design.h"

#include <QApplication>
#include <QPalette>

namespace ModAPI {
namespace {

constexpr uint32_t kSystemColorFlag = 0x80000000;

QColor SystemColor(uint32_t index) {
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
  if (value & kSystemColorFlag) return SystemColor(value & 0xFF);
  return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

QFont DesignFont(const QString& family, double points, bool bold) {
  QFont font(family);
  font.setPixelSize(qRound(points * 96.0 / 72.0));
  font.setBold(bold);
  return font;
}

void InstallFontSubstitutes() {
  QFont::insertSubstitutions(QStringLiteral("微软雅黑"), {QStringLiteral("Microsoft YaHei"),
                                                          QStringLiteral("WenQuanYi Micro Hei")});
  QFont::insertSubstitutions(QStringLiteral("宋体"),
                             {QStringLiteral("SimSun"), QStringLiteral("AR PL UMing CN")});
}

}  // namespace ModAPI
