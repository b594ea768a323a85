// bare-window: the least a Qt Widgets program does to show a 600 x 500
// window, the baseline of the start-up benchmark. It reports its first frame
// exactly as courier-query does.
//
// `bare-window --text CATALOGUE` is the second, fairer baseline: the window
// also draws the Chinese text courier-query shows in its first frame, the
// caption and the courier names of CATALOGUE laid out by the catalogue's own
// loader, in the program's fonts. It pays what any program showing that text
// pays (the font database, the CJK fonts, shaping and glyphs) and nothing
// else: no skin, pictures or controls.
#include "Design.h"
#include "FirstFrame.h"
#include "LabelGroup.h"
#include "Module1.h"
#include "mTextUTF.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QWidget>

#include <memory>

namespace {

// The program's caption.
const QString kCaption = QStringLiteral("Quonvex快递单号查询软件_Quonvex");

QFont BoldFont(QFont font) {
  font.setBold(true);
  return font;
}

class TextWindow final : public QWidget, public Module1::CatalogueHost {
 public:
  // The labels start where the program's panel starts them.
  explicit TextWindow(const QString& catalogue)
      : labels_({.Caption = {}, .Tag = {}, .Left = 360, .Top = 360, .Visible = true},
                [this](const QString& caption, bool bold) {
                  const QFontMetrics metrics(bold ? boldFont_ : regularFont_);
                  return QSizeF(ModAPI::PixelsToTwips(metrics.horizontalAdvance(caption)),
                                ModAPI::PixelsToTwips(metrics.height()));
                }) {
    resize(600, 500);
    int32_t encoding = mTextUTF::kDetect;
    Module1::placeCatalogue(mTextUTF::ReadTextFile(catalogue, encoding), *this, QString());
  }

  Module1::LabelGroup& LB() override { return labels_; }
  float windowWidth() const override { return ModAPI::PixelsToTwips(width()); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.drawText(QRect(24, 0, width() - 24, 31), Qt::AlignVCenter, kCaption);
    for (const Module1::CourierEntry& label : labels_.all()) {
      if (!label.Visible) continue;
      painter.setFont(label.bold ? boldFont_ : regularFont_);
      painter.drawText(QPoint(ModAPI::TwipsToPixels(label.Left),
                              ModAPI::TwipsToPixels(label.Top) + painter.fontMetrics().ascent()),
                       label.Caption);
    }
  }

 private:
  const QFont regularFont_ = ModAPI::DesignFont(QStringLiteral("宋体"), 10.5);
  const QFont boldFont_ = BoldFont(regularFont_);
  Module1::CourierLabels labels_;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QStringList arguments = QApplication::arguments();
  std::unique_ptr<QWidget> window;
  if (arguments.size() == 3 && arguments[1] == QLatin1String("--text")) {
    ModAPI::InstallFontSubstitutes();
    window = std::make_unique<TextWindow>(arguments[2]);
  } else {
    window = std::make_unique<QWidget>();
    window->resize(600, 500);
  }
  ModAPI::ReportFirstFrameIfAsked(window.get());
  window->show();
  return app.exec();
}
