#include "FormMain.h"

#include "AccessibleControls.h"
#include "Design.h"
#include "FirstFrame.h"
#include "Query.h"
#include "SystemMenu.h"
#include "Window.h"

#include <QCursor>
#include <QIcon>
#include <QKeyEvent>
#include <QPixmap>
#include <QShortcut>

#include <algorithm>
#include <cstdio>

using namespace FormControls;
using ModAPI::DesignFont;

namespace {

const QString kYaHei = QStringLiteral("微软雅黑");
const QString kSong = QStringLiteral("宋体");
const QString kPromptStart = QStringLiteral("请输入 ");
const QString kPromptEnd = QStringLiteral(" 单号");
const QString kHintedCouriers = QStringLiteral("单号格式相符：");

QPixmap designPicture(const char* name) {
  return ModAPI::DesignPicture(QStringLiteral(":/design/") + QLatin1String(name));
}

// Member 0 of the label group as the design has it.
Module1::CourierEntry designLabel() {
  Module1::CourierEntry label;
  label.Left = 360;
  label.Top = 360;
  label.Width = 105;
  label.Height = 210;
  label.BackStyle = Module1::Transparent;
  label.BackColor = Module1::kSelectedBackColor;
  label.Visible = true;
  return label;
}

}  // namespace

FormMain::FormMain() : labelCursor_(ModAPI::DesignCursor(":/design/hand.png", {5, 0})) {
  InstallAccessibleControls();
  setWindowFlag(Qt::FramelessWindowHint);
  setWindowTitle(kDesignCaption);
  setWindowIcon(QIcon(QStringLiteral(":/design/courier-query.ico")));
  setAutoFillBackground(true);
  QPalette background = palette();
  background.setColor(QPalette::Window, ModAPI::OleColor(kBackColor));
  setPalette(background);
  createControls();
  nameControls();
  query_ = std::make_unique<Query::Runner>(Web->browser());
  connectHandlers();
  setUpKeyboard();
  // The browser engine takes longer to start than the whole window: it
  // starts once the window's first frame is on the screen, and the load
  // step's navigation waits for it.
  Web->browser().DeferStart();
  ModAPI::AfterFirstFrame(this, [this] { Web->browser().Start(); });
}

// Qt deletes the controls after this destructor, and they may still raise
// events meanwhile (the number box loses its focus when the window goes):
// none may reach a handler of a window that is no longer a FormMain.
FormMain::~FormMain() {
  for (const auto& [name, control] : controls_) control->disconnectHandlers();
  disconnect(query_.get(), nullptr, this, nullptr);
}

template <typename T>
T* FormMain::add(const QString& name, T* control) {
  controls_.emplace_back(name, control);
  return control;
}

void FormMain::createControls() {
  Web = add(QStringLiteral("Web"), new BrowserControl(this));
  Web->setDesignGeometry(12240, 5040, 2535, 1575);

  P1 = add(QStringLiteral("P1"), new PictureBox(this));
  P1->setDesignGeometry(240, 840, 2370, 600);
  P1->setPicture(designPicture("P1.bmp"));
  LBTitle = add(QStringLiteral("LBTitle"), new Label(P1, DesignFont(kYaHei, 10.5, true), false));
  LBTitle->setDesignGeometry(720, 120, 1575, 255);
  LBTitle->setCaption(QStringLiteral("圆通快递"));

  SSCMD = add(QStringLiteral("SSCMD"),
              new PictureButton(this, QStringLiteral("查询"), FormControls::kFocusWhite));
  SSCMD->setDesignGeometry(8400, 600, 1545, 600);
  SSCMD->setPicture(designPicture("SSCMD.bmp"));

  SSBG = add(QStringLiteral("SSBG"), new PictureBox(this));
  SSBG->setDesignGeometry(3240, 600, 4110, 600);
  SSBG->setPicture(designPicture("Image4.bmp"));
  SStext = add(QStringLiteral("SStext"), new TextBox(SSBG));
  SStext->setDesignGeometry(120, 360, 3735, 255);
  SStext->setFont(DesignFont(kSong, 9));

  const QFont labelFont = DesignFont(kSong, 10.5);
  BG = add(QStringLiteral("BG"), new CourierPanel(this, designLabel(), labelFont, labelCursor_));
  BG->setDesignGeometry(960, 2160, 11895, 7815);
  BG->BackColor = 0x00FFFFFF;

  Back = add(QStringLiteral("Back"),
             new PictureButton(BG, QStringLiteral("返回"), FormControls::kFocusBlue));
  Back->setDesignGeometry(6360, 2640, 1530, 405);
  Back->setPicture(designPicture("Back.bmp"));
  Back->hide();
  LbBack = add(QStringLiteral("LbBack"), new Label(Back, DesignFont(kSong, 9, true), true));
  LbBack->setDesignGeometry(600, 120, 495, 180);
  LbBack->setCaption(QStringLiteral("返 回"));

  Text = add(QStringLiteral("Text"), new MultiLineTextBox(BG));
  Text->setDesignGeometry(2520, 2280, 7815, 5055);
  Text->setFont(DesignFont(kSong, 9));
  Text->hide();
  // Tab leaves the result area, as it leaves the original platform's text box.
  Text->setTabChangesFocus(true);
  BG->setCover(Text);

  S1 = add(QStringLiteral("S1"), new Shape(BG, 2));
  S1->setDesignGeometry(1920, 360, 615, 615);
  S1->ForeColor = Module1::kSelectedBackColor;
  S1->hide();
  // Stacking on the panel: the hover frame, drawn like the labels on the
  // panel itself, lies under the result area; the back button over it.
  S1->lower();
  Back->raise();

  Image4 = add(QStringLiteral("Image4"), new Image(this));
  Image4->setDesignGeometry(11640, 3240, 4110, 600);
  Image4->setPicture(designPicture("Image4.bmp"));
  Image3 = add(QStringLiteral("Image3"), new Image(this));
  Image3->setDesignGeometry(10080, 1920, 4125, 630);
  Image3->setPicture(designPicture("Image3.bmp"));
  // Image controls are drawn on the window itself, under every other
  // control: the panel hides the picture stores when a larger window
  // reaches them.
  Image4->lower();
  Image3->lower();

  queryStatus = new StatusLine(this, Text, QStringLiteral("查询状态"));
  queryStatus->setFont(DesignFont(kSong, 9));
  // In line with the result area, which the resize step puts 150 twips into the panel.
  queryStatus->setContentsMargins(ModAPI::TwipsToPixels(150), 0, 0, 0);
}

// What screen readers call the controls; labels are named by their captions
// and the two buttons by theirs.
void FormMain::nameControls() {
  const std::pair<QWidget*, const char*> names[] = {
      {Web, "网页"},        {P1, "当前快递公司"},   {SSBG, "单号输入区"},
      {SStext, "快递单号"}, {BG, "查询面板"},       {Text, "查询结果"},
      {S1, "悬停框"},       {Image4, "单号框图片"}, {Image3, "单号框焦点图片"},
  };
  for (const auto& [control, name] : names) control->setAccessibleName(QString::fromUtf8(name));
}

void FormMain::connectHandlers() {
  BG->LabelClick = [this](int16_t k) { LB_Click(k); };
  BG->LabelMouseMove = [this](int16_t k) { LB_MouseMove(k); };
  BG->PanelMouseMove = [this] { BG_MouseMove(); };
  LBTitle->Click = [this] { closeResultView(); };
  LbBack->Click = [this] { closeResultView(); };
  Back->Click = [this] { closeResultView(); };
  P1->Click = [this] { P1_Click(); };
  SSCMD->Click = [this] { runQuery(); };
  const std::pair<QWidget*, MouseEvents*> pointing[] = {
      {LBTitle, LBTitle}, {LbBack, LbBack}, {Back, Back}, {P1, P1}, {SSCMD, SSCMD}};
  for (const auto& [control, events] : pointing)
    events->MouseMove = [this, control = control] { showLabelPointer(control); };
  SStext->KeyPress = [this](QKeyEvent* event) { SStext_KeyPress(event); };
  SStext->Click = [this] { SStext_Click(); };
  SStext->Change = [this] { showNumberHint(); };
  SStext->GotFocus = [this] { SSBG->setPicture(Image3->picture()); };
  SStext->GotFocusByKeyboard = [this] {
    if (SStext->text() == prompt()) SStext->selectAll();
  };
  SStext->LostFocus = [this] { SSBG->setPicture(Image4->picture()); };
  connect(query_.get(), &Query::Runner::Completed, this,
          [this](const Query::Completion& completion) { Web_DocumentComplete(completion); });
}

// Tab goes number box, 查询, courier panel (or the result area covering it),
// 返回. Esc does what 返回 does while it is shown; F1 presses the help
// caption button and Alt+Space opens the system menu, which holds what the
// other caption buttons do. Shortcuts, not key handlers: the skin keeps the
// window's own key messages from it.
void FormMain::setUpKeyboard() {
  setTabOrder(SStext, SSCMD);
  setTabOrder(SSCMD, BG);
  setTabOrder(BG, Text);
  setTabOrder(Text, Back);
  SStext->setFocus();
  connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, [this] {
    if (!Back->isHidden()) closeResultView();
  });
  connect(new QShortcut(QKeySequence::HelpContents, this), &QShortcut::activated, this, [this] {
    if (c_DirectUI) c_DirectUI->ClickButton(3);
  });
  ModAPI::InstallSystemMenuKey(this);
}

bool FormMain::Form_Load(const QString& commandLine) {
  Web->browser().Navigate(QStringLiteral("about:blank"));
  Module1::StartupArgument = commandLine;
  Module1::SelectedCourierIndex = -1;
  resize(ModAPI::TwipsToPixels(9000), ModAPI::TwipsToPixels(7500));
  LBTitle->Move(720, 150);
  Web->Move(WindowWidth(), ModAPI::PixelsToTwips(height()));
  if (!Module1::LoadCourierCatalogue(*this)) return false;
  loadNumberFormats();
  if (Module1::SelectedCourierIndex == -1) selectDefaultCourier();
  if (!Module1::StartupArgument.isEmpty()) setWindowTitle(LBTitle->caption() + kCaptionSuffix);
  c_DirectUI = std::make_unique<VBDirectUI>();
  c_DirectUI->ControlButtonClick = [this](qint32& ButtonIndex, qint32& MenuX, qint32& MenuY,
                                          bool& Cancel) {
    c_DirectUI_ControlButtonClick(ButtonIndex, MenuX, MenuY, Cancel);
  };
  c_DirectUI->Skin(QStringLiteral("QQ2010"), ModAPI::WindowHandle(this));
  return true;
}

void FormMain::closeEvent(QCloseEvent* event) {
  Form_Unload();
  QWidget::closeEvent(event);
}

void FormMain::Form_Unload() {
  c_DirectUI.reset();
}

void FormMain::c_DirectUI_ControlButtonClick(qint32& ButtonIndex, qint32&, qint32&, bool&) {
  if (ButtonIndex == 3) ModAPI::OpenAddressMinimized(ModAPI::VendorHomePage());
}

// Label 1 is the default courier. A catalogue with a single label falls back
// to label 0 when that is a courier; with no courier at all nothing is
// selected and the title is cleared, so that no courier is shown as chosen.
void FormMain::selectDefaultCourier() {
  const Module1::CourierLabels& labels = BG->labels();
  if (labels.count() > 1) return selectLabel(1);
  if (!labels[0].isHeading()) return selectLabel(0);
  SetTitle(QString(), QString());
}

void FormMain::selectLabel(int16_t n) {
  Module1::LabelGroup& lb = LB();
  lb.SetBackStyle(n, Module1::Opaque);
  lb.SetBackColor(n, Module1::kSelectedBackColor);
  SetTitle(lb[n].Caption, lb[n].Tag);
  Module1::SelectedCourierIndex = n;
  showPrompt();
}

QString FormMain::prompt() const {
  return kPromptStart + LBTitle->caption() + kPromptEnd;
}

void FormMain::showPrompt() {
  SStext->setText(prompt());
}

float FormMain::WindowWidth() const {
  return ModAPI::PixelsToTwips(width());
}

void FormMain::SetTitle(const QString& caption, const QString& tag) {
  LBTitle->setCaption(caption);
  LBTitle->Tag = tag;
}

void FormMain::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Form_Resize();
  placeQueryStatus();
}

// Each step uses the sizes as the steps before left them. Sizes that would be
// negative in a window smaller than the layout (120 × 1995 twips) become 0.
void FormMain::Form_Resize() {
  const float W = ModAPI::PixelsToTwips(width());
  const float H = ModAPI::PixelsToTwips(height());
  BG->Move(60, 1575);
  BG->SetSize(W - 120, H - 1995);
  Text->Move(150, 150);
  Text->SetSize(BG->Width() - 150, BG->Height() - 150);
  Back->Move(BG->Width() - Back->Width() - 375, BG->Height() - Back->Height() - 300);
  SSBG->Move(W - SSBG->Width() - 1800, 900);
  SStext->Move(150, SSBG->Height() - 375);
  SSCMD->Move(W - SSCMD->Width() - 150, 900);
  P1->Move(150, 900);
}

// In the strip between the panel and the window's lower edge, as wide as the
// panel: outside every control of the design.
void FormMain::placeQueryStatus() {
  constexpr int kGap = 2, kHeight = 20;  // pixels
  const QRect panel = BG->geometry();
  const int top = panel.bottom() + 1 + kGap;
  queryStatus->setGeometry(panel.left(), top, panel.width(),
                           std::clamp(height() - top - kGap, 0, kHeight));
}

QRectF HoverFrame(const Module1::CourierEntry& label) {
  return QRectF(label.Left - 75, label.Top - 75, label.Width + 150, label.Height + 150);
}

// Headings cannot be chosen. Choosing the selected courier again only
// replaces the number with the prompt.
void FormMain::LB_Click(int16_t k) {
  Module1::LabelGroup& lb = LB();
  if (lb[k].isHeading()) return;
  LBTitle->setCaption(lb[k].Caption);
  LBTitle->Tag = lb[k].Tag;
  if (Module1::SelectedCourierIndex >= 0)
    lb.SetBackStyle(Module1::SelectedCourierIndex, Module1::Transparent);
  Module1::SelectedCourierIndex = k;
  lb.SetBackStyle(k, Module1::Opaque);
  lb.SetBackColor(k, Module1::kSelectedBackColor);
  showPrompt();
}

void FormMain::LB_MouseMove(int16_t k) {
  const Module1::CourierEntry& label = LB()[k];
  if (label.isHeading()) return S1->hide();
  const QRectF frame = HoverFrame(label);
  S1->Move(frame.left(), frame.top());
  S1->SetSize(frame.width(), frame.height());
  S1->show();
}

void FormMain::BG_MouseMove() {
  S1->hide();
}

void FormMain::P1_Click() {
  Text->hide();
}

// A focus in the result view goes to the courier panel, which takes its
// place, before the view goes: the focus passes nothing on the way.
void FormMain::closeResultView() {
  if (Text->hasFocus() || Back->hasFocus()) BG->setFocus(Qt::OtherFocusReason);
  Text->hide();
  LbBack->hide();
  Back->hide();
}

void FormMain::showLabelPointer(QWidget* control) {
  control->setCursor(labelCursor_);
}

// A valid number is sent and the result view shows the loading text until the
// browser completes a document; an invalid one only gets the message box.
void FormMain::runQuery() {
  const QString courier = LBTitle->caption();
  if (!query_->Send(LBTitle->Tag, SStext->text())) {
    return ModAPI::MsgBox(Query::InvalidNumberTitle(courier), Query::InvalidNumberMessage(courier));
  }
  Text->show();
  Back->show();
  LbBack->show();
  Text->setText(Query::kLoadingText);
  queryStatus->setLine(QString());
}

// Enter and the keypad's Enter type character 13; held with Ctrl or Alt
// they type none.
void FormMain::SStext_KeyPress(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) runQuery();
}

void FormMain::SStext_Click() {
  SStext->setSelection(0, SStext->text().size());
}

// Couriers whose number format the typed text matches are marked on the
// panel, and the number box names them to screen readers. The prompt is no
// number, whatever the formats say.
void FormMain::showNumberHint() {
  const QString text = SStext->text();
  BG->setHints(text == prompt() ? QStringList() : numberFormats_.codesMatching(text));
  QStringList names;
  for (const int16_t k : BG->hintedLabels()) names += withPlainLineBreaks(LB()[k].Caption);
  SStext->setAccessibleDescription(
      names.isEmpty() ? QString() : kHintedCouriers + names.join(QStringLiteral("、")));
}

// Without a usable formats file the window gives no hints and says so once.
void FormMain::loadNumberFormats() {
  NumberFormats::Loaded loaded = NumberFormats::Read(NumberFormats::FilePath());
  if (!loaded.problem.isEmpty()) {
    const QString line = QStringLiteral("courier-query：") + loaded.problem +
                         QStringLiteral("，不按单号提示快递公司\n");
    std::fputs(line.toUtf8().constData(), stderr);
  }
  setNumberFormats(std::move(loaded.table));
}

void FormMain::setNumberFormats(NumberFormats::Table formats) {
  numberFormats_ = std::move(formats);
  showNumberHint();
}

// Every top-level completion writes the result area; frames never reach
// here. The status line explains the red message when this completion
// writes it.
void FormMain::Web_DocumentComplete(const Query::Completion& completion) {
  if (completion.resultText) {
    Text->setText(*completion.resultText);
    Text->setForeColor(Query::kResultColor);
    queryStatus->setLine(QString());
  }
  if (!Query::IsAnswer(Text->text())) {
    Text->setForeColor(Query::kNoResultColor);
    Text->setText(Query::NoResultMessage(LBTitle->caption()));
    queryStatus->setLine(Query::FailureCause(completion.status));
  }
}
