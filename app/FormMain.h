// The main window: its design (controls, nesting, geometry, captions, fonts,
// pictures), its load, resize and unload steps, the courier picker and the
// tracking query. Handlers keep the names of the controls and events they
// belong to.
#pragma once

#include "Announcer.h"
#include "Controls.h"
#include "CourierPanel.h"
#include "Module1.h"
#include "NumberFormats.h"
#include "Shell.h"
#include "StatusLine.h"
#include "VBDirectUI.h"

#include <QCursor>
#include <QRectF>
#include <QWidget>

#include <memory>
#include <utility>
#include <vector>

namespace Query {
class Runner;
struct Completion;
}  // namespace Query

class FormMain : public QWidget, public Module1::CatalogueHost {
  Q_OBJECT

 public:
  static inline const QString kDesignCaption = QStringLiteral("Quonvex快递单号查询软件_Quonvex");
  static inline const QString kCaptionSuffix = QStringLiteral(" 单号查询软件_Quonvex");
  static constexpr uint32_t kBackColor = 0x00E0E0E0;

  FormMain();
  ~FormMain() override;

  // The load step: runs once, before the window is first shown, with the
  // command-line text. Returns false when the program was ended inside it
  // (missing catalogue) and ending was replaced.
  bool Form_Load(const QString& commandLine = ModAPI::CommandLineText());

  // CatalogueHost
  Module1::LabelGroup& LB() override { return BG->labels(); }
  float windowWidth() const override;

  // The selected courier, which the title label `LBTitle` shows.
  Module1::CourierSelection& selection() { return BG->selection(); }
  const Module1::CourierSelection& selection() const { return BG->selection(); }

  // The couriers' number formats behind the hint; the load step reads them
  // from the file beside the program. The hint follows them at once.
  void setNumberFormats(NumberFormats::Table formats);

  // The controls of the design, by name, in design order; `LB` is not among
  // them (its members live in BG->labels()).
  const std::vector<std::pair<QString, FormControls::Control*>>& controls() const {
    return controls_;
  }

  // The design's controls.
  FormControls::BrowserControl* Web;
  FormControls::PictureBox* P1;
  FormControls::Label* LBTitle;
  FormControls::PictureButton* SSCMD;
  FormControls::PictureBox* SSBG;
  FormControls::TextBox* SStext;
  CourierPanel* BG;
  FormControls::PictureButton* Back;
  FormControls::Label* LbBack;
  FormControls::MultiLineTextBox* Text;
  FormControls::Shape* S1;
  FormControls::Image* Image4;
  FormControls::Image* Image3;

  // Not part of the design: why the last query found nothing, in one line
  // under the panel, shown while the result area is. Empty while a query
  // is under way and after a found result.
  StatusLine* queryStatus;
  // Not part of the design either: what a screen reader is told unasked,
  // that a query is loading and how it ended, and which courier was chosen.
  Announcer* announcer;

  // The window's skin: set by the load step's last step, dropped by the
  // unload step when the window closes.
  std::unique_ptr<VBDirectUI> c_DirectUI;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void createControls();
  void createCourierButtonAndNumberBox();
  void createPanel();
  void createResultView();
  void createPictureStores();
  void createQueryStatus();
  void nameControls();
  void connectHandlers();
  void connectPicker();
  void connectQuery();
  void setUpKeyboard();
  void Form_Resize();
  void placeQueryStatus();
  void Form_Unload();
  void selectDefaultCourier();
  void showSelectedCourier(int16_t previous, int16_t current);
  void setTitle(const QString& caption, const QString& tag);
  QString prompt() const;
  void showPrompt();

  // The courier picker.
  void LB_Click(int16_t k);
  void LB_MouseMove(int16_t k);
  void BG_MouseMove();
  void P1_Click();
  void closeResultView();
  void showLabelPointer(QWidget* control);

  // The tracking query.
  void runQuery();
  void SStext_KeyPress(qint16& KeyAscii);
  void SStext_Click();
  void SStext_GotFocus();
  void selectPromptFromKeyboard();
  void SStext_LostFocus();
  void showNumberHint();
  void loadNumberFormats();
  void reportMissingSkinFolder();
  void Web_DocumentComplete(const Query::Completion& completion);
  void announceOutcome();

  // The skin's caption buttons: only the help button (3) is the window's.
  void c_DirectUI_ControlButtonClick(qint32& ButtonIndex, qint32& MenuX, qint32& MenuY,
                                     bool& Cancel);

  // Lists `control` among the design's controls as `name`, placed at its
  // design geometry (twips).
  template <typename T>
  T* add(const QString& name, T* control, const QRectF& design);

  std::vector<std::pair<QString, FormControls::Control*>> controls_;
  QCursor labelCursor_;
  // Sends the queries through Web's browser and reads its top-level documents.
  std::unique_ptr<Query::Runner> query_;
  // What the announcer last said of the query under way; a later completion
  // that changes nothing is not told again.
  QString spokenOutcome_;
  // The couriers' number formats, for the hint; empty without a usable file.
  NumberFormats::Table numberFormats_;
};

// The hover frame around a label: 75 twips (5 pixels) outside it on every side.
QRectF hoverFrame(const Module1::CourierEntry& label);
