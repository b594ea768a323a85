#include "FormMain.h"

#include "AccessibleControls.h"
#include "CannotRun.h"
#include "Design.h"
#include "FirstFrame.h"
#include "LineEnds.h"
#include "Query.h"
#include "SystemMenu.h"
#include "Window.h"

#include <QCursor>
#include <QFileInfo>
#include <QIcon>
#include <QPixmap>
#include <QShortcut>

#include <algorithm>
#include <cstdio>

using namespace FormControls;
using ModAPI::DesignFont;

namespace {

const QString kSkinName = QStringLiteral("QQ2010");
const QString kYaHei = QStringLiteral("微软雅黑");
const QString kSong = QStringLiteral("宋体");
const QString kPromptStart = QStringLiteral("请输入 ");
const QString kPromptEnd = QStringLiteral(" 单号");
const QString kHintedCouriers = QStringLiteral("单号格式相符：");
const QString kChosen = QStringLiteral("已选 ");

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
  installAccessibleControls();
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

// Qt drops the window's connections only in QObject's destructor, after
// QWidget's has hidden the window and deleted the controls: the number box
// would lose its focus there and raise LostFocus into a window that is no
// longer a FormMain. Hidden here, while the window is whole, it loses it now.
FormMain::~FormMain() {
  hide();
}

template <typename T>
T* FormMain::add(const QString& name, T* control, const QRectF& design) {
  control->setDesignGeometry(design.left(), design.top(), design.width(), design.height());
  controls_.emplace_back(name, control);
  return control;
}

// In the design's order, which the state snapshot keeps.
void FormMain::createControls() {
  Web = add(QStringLiteral("Web"), new BrowserControl(this), {12240, 5040, 2535, 1575});
  createCourierButtonAndNumberBox();
  createPanel();
  createPictureStores();
  createQueryStatus();
  announcer = new Announcer(this);
}

void FormMain::createCourierButtonAndNumberBox() {
  P1 = add(QStringLiteral("P1"), new PictureBox(this), {240, 840, 2370, 600});
  P1->setPicture(designPicture("P1.bmp"));
  LBTitle = add(QStringLiteral("LBTitle"), new Label(P1, DesignFont(kYaHei, 10.5, true), false),
                {720, 120, 1575, 255});
  LBTitle->setCaption(QStringLiteral("圆通快递"));

  SSCMD = add(QStringLiteral("SSCMD"),
              new PictureButton(this, QStringLiteral("查询"), FormControls::kFocusWhite),
              {8400, 600, 1545, 600});
  SSCMD->setPicture(designPicture("SSCMD.bmp"));

  SSBG = add(QStringLiteral("SSBG"), new PictureBox(this), {3240, 600, 4110, 600});
  SSBG->setPicture(designPicture("Image4.bmp"));
  SStext = add(QStringLiteral("SStext"), new TextBox(SSBG), {120, 360, 3735, 255});
  SStext->setFont(DesignFont(kSong, 9));
}

void FormMain::createPanel() {
  BG = add(QStringLiteral("BG"),
           new CourierPanel(this, designLabel(), DesignFont(kSong, 10.5), labelCursor_),
           {960, 2160, 11895, 7815});
  BG->BackColor = 0x00FFFFFF;
  createResultView();
  S1 = add(QStringLiteral("S1"), new Shape(BG, 2), {1920, 360, 615, 615});
  S1->ForeColor = Module1::kSelectedBackColor;
  S1->hide();
  // Stacking on the panel: the hover frame, drawn like the labels on the
  // panel itself, lies under the result area; the back button over it.
  S1->lower();
  Back->raise();
}

// The back button and the result area, which covers the panel when shown.
void FormMain::createResultView() {
  Back = add(QStringLiteral("Back"),
             new PictureButton(BG, QStringLiteral("返回"), FormControls::kFocusBlue),
             {6360, 2640, 1530, 405});
  Back->setPicture(designPicture("Back.bmp"));
  Back->hide();
  LbBack = add(QStringLiteral("LbBack"), new Label(Back, DesignFont(kSong, 9, true), true),
               {600, 120, 495, 180});
  LbBack->setCaption(QStringLiteral("返 回"));

  Text = add(QStringLiteral("Text"), new MultiLineTextBox(BG), {2520, 2280, 7815, 5055});
  Text->setFont(DesignFont(kSong, 9));
  Text->hide();
  // Tab leaves the result area, as it leaves the original platform's text box.
  Text->setTabChangesFocus(true);
  BG->setCover(Text);
}

// Image controls are drawn on the window itself, under every other control:
// the panel hides the picture stores when a larger window reaches them.
void FormMain::createPictureStores() {
  Image4 = add(QStringLiteral("Image4"), new Image(this), {11640, 3240, 4110, 600});
  Image4->setPicture(designPicture("Image4.bmp"));
  Image3 = add(QStringLiteral("Image3"), new Image(this), {10080, 1920, 4125, 630});
  Image3->setPicture(designPicture("Image3.bmp"));
  Image4->lower();
  Image3->lower();
}

void FormMain::createQueryStatus() {
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
  connectPicker();
  connectQuery();
  connect(&selection(), &Module1::CourierSelection::selectionChanged, this,
          &FormMain::showSelectedCourier);
}

void FormMain::connectPicker() {
  const Module1::CourierLabels* lb = &BG->labels();
  connect(lb, &Module1::CourierLabels::Click, this, &FormMain::LB_Click);
  connect(lb, &Module1::CourierLabels::MouseMove, this, &FormMain::LB_MouseMove);
  connect(BG, &CourierPanel::MouseMove, this, &FormMain::BG_MouseMove);
  connect(LBTitle, &Label::Click, this, &FormMain::closeResultView);
  connect(LbBack, &Label::Click, this, &FormMain::closeResultView);
  connect(Back, &PictureButton::Click, this, &FormMain::closeResultView);
  connect(P1, &PictureBox::Click, this, &FormMain::P1_Click);
  for (ClickableControl* control : std::initializer_list<ClickableControl*>{LBTitle, LbBack, P1})
    connect(control, &ClickableControl::MouseMove, this,
            [this, control] { showLabelPointer(control); });
  for (PictureButton* button : {Back, SSCMD})
    connect(button, &PictureButton::MouseMove, this, [this, button] { showLabelPointer(button); });
}

void FormMain::connectQuery() {
  connect(SSCMD, &PictureButton::Click, this, &FormMain::runQuery);
  connect(SStext, &TextBox::KeyPress, this, &FormMain::SStext_KeyPress);
  connect(SStext, &TextBox::Click, this, &FormMain::SStext_Click);
  connect(SStext, &TextBox::Change, this, &FormMain::showNumberHint);
  connect(SStext, &TextBox::GotFocus, this, &FormMain::SStext_GotFocus);
  connect(SStext, &TextBox::gotFocusByKeyboard, this, &FormMain::selectPromptFromKeyboard);
  connect(SStext, &TextBox::LostFocus, this, &FormMain::SStext_LostFocus);
  connect(query_.get(), &Query::Runner::completed, this, &FormMain::Web_DocumentComplete);
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
    if (c_DirectUI) c_DirectUI->clickButton(3);
  });
  ModAPI::InstallSystemMenuKey(this);
}

bool FormMain::Form_Load(const QString& commandLine) {
  Web->browser().Navigate(QStringLiteral("about:blank"));
  selection().setStartupArgument(commandLine);
  resize(ModAPI::TwipsToPixels(9000), ModAPI::TwipsToPixels(7500));
  LBTitle->setDesignPosition(720, 150);
  Web->setDesignPosition(windowWidth(), ModAPI::PixelsToTwips(height()));
  const auto matches = Module1::LoadCourierCatalogue(*this, commandLine);
  if (!matches) return false;
  loadNumberFormats();
  selection().selectStartupMatches(*matches);
  if (matches->empty()) selectDefaultCourier();
  if (!commandLine.isEmpty()) setWindowTitle(LBTitle->caption() + kCaptionSuffix);
  c_DirectUI = std::make_unique<VBDirectUI>();
  connect(c_DirectUI.get(), &VBDirectUI::ControlButtonClick, this,
          [this](ControlButtonClickArgs& e) {
            c_DirectUI_ControlButtonClick(e.ButtonIndex, e.MenuX, e.MenuY, e.Cancel);
          });
  c_DirectUI->Skin(kSkinName, ModAPI::WindowHandle(this));
  reportMissingSkinFolder();
  return true;
}

// The skin's steps fail quietly, as they should, and the window works on;
// but it lacks its frame pictures and caption buttons, which is said once.
void FormMain::reportMissingSkinFolder() {
  const QString folder = ModAPI::AppPath() + QStringLiteral("/Skin/") + kSkinName;
  if (QFileInfo(folder).isDir()) return;
  CannotRun::report(QStringLiteral("找不到皮肤文件夹 ") + folder +
                    QStringLiteral("，窗口没有边框图片和标题栏按钮"));
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

// With no courier at all nothing is selected and the title is cleared, so
// that no courier is shown as chosen.
void FormMain::selectDefaultCourier() {
  const int16_t n = Module1::defaultCourier(BG->labels());
  if (n < 0) return setTitle(QString(), QString());
  selection().select(n);
  showPrompt();
}

// The title label always names the selected courier.
void FormMain::showSelectedCourier(int16_t, int16_t current) {
  if (current >= 0) setTitle(LB()[current].Caption, LB()[current].Tag);
}

QString FormMain::prompt() const {
  return kPromptStart + LBTitle->caption() + kPromptEnd;
}

void FormMain::showPrompt() {
  SStext->setText(prompt());
}

float FormMain::windowWidth() const {
  return ModAPI::PixelsToTwips(width());
}

void FormMain::setTitle(const QString& caption, const QString& tag) {
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
  BG->setDesignPosition(60, 1575);
  BG->setDesignSize(W - 120, H - 1995);
  Text->setDesignPosition(150, 150);
  Text->setDesignSize(BG->Width() - 150, BG->Height() - 150);
  Back->setDesignPosition(BG->Width() - Back->Width() - 375, BG->Height() - Back->Height() - 300);
  SSBG->setDesignPosition(W - SSBG->Width() - 1800, 900);
  SStext->setDesignPosition(150, SSBG->Height() - 375);
  SSCMD->setDesignPosition(W - SSCMD->Width() - 150, 900);
  P1->setDesignPosition(150, 900);
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

QRectF hoverFrame(const Module1::CourierEntry& label) {
  return QRectF(label.Left - 75, label.Top - 75, label.Width + 150, label.Height + 150);
}

// Headings cannot be chosen. Choosing the selected courier again only
// replaces the number with the prompt.
void FormMain::LB_Click(int16_t k) {
  if (LB()[k].isHeading()) return;
  selection().select(k);
  showPrompt();
  announcer->announce(kChosen + ModAPI::withLfLineEnds(LB()[k].Caption));
}

void FormMain::LB_MouseMove(int16_t k) {
  const Module1::CourierEntry& label = LB()[k];
  if (label.isHeading()) return S1->hide();
  const QRectF frame = hoverFrame(label);
  S1->setDesignPosition(frame.left(), frame.top());
  S1->setDesignSize(frame.width(), frame.height());
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
  if (!query_->send(LBTitle->Tag, SStext->text())) {
    return ModAPI::MsgBox(Query::invalidNumberTitle(courier), Query::invalidNumberMessage(courier));
  }
  Text->show();
  Back->show();
  LbBack->show();
  Text->setText(Query::kLoadingText);
  queryStatus->setLine(QString());
  spokenOutcome_.clear();
  announcer->announce(Query::kLoadingText);
}

// The key reaches the box as it was typed.
void FormMain::SStext_KeyPress(qint16& KeyAscii) {
  if (KeyAscii == 13) runQuery();
}

void FormMain::SStext_Click() {
  SStext->setSelection(0, SStext->text().size());
}

void FormMain::SStext_GotFocus() {
  SSBG->setPicture(Image3->picture());
}

// From the keyboard the prompt is selected, so that typing replaces it.
void FormMain::selectPromptFromKeyboard() {
  if (SStext->text() == prompt()) SStext->selectAll();
}

void FormMain::SStext_LostFocus() {
  SSBG->setPicture(Image4->picture());
}

// Couriers whose number format the typed text matches are marked on the
// panel, and the number box names them to screen readers. The prompt is no
// number, whatever the formats say.
void FormMain::showNumberHint() {
  const QString text = SStext->text();
  BG->setHints(text == prompt() ? QStringList() : numberFormats_.codesMatching(text));
  QStringList names;
  for (const int16_t k : BG->hintedLabels()) names += ModAPI::withLfLineEnds(LB()[k].Caption);
  SStext->setAccessibleDescription(
      names.isEmpty() ? QString() : kHintedCouriers + names.join(QStringLiteral("、")));
}

// Without a usable formats file the window gives no hints and says so once.
void FormMain::loadNumberFormats() {
  NumberFormats::Loaded loaded = NumberFormats::read(NumberFormats::filePath());
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
// writes it, and a screen reader is told the outcome.
void FormMain::Web_DocumentComplete(const Query::Completion& completion) {
  if (completion.resultText) {
    Text->setText(*completion.resultText);
    Text->setForeColor(Query::kResultColor);
    queryStatus->setLine(QString());
  }
  if (!Query::isAnswer(Text->text())) {
    Text->setForeColor(Query::kNoResultColor);
    Text->setText(Query::noResultMessage(LBTitle->caption()));
    queryStatus->setLine(Query::failureCause(completion));
  }
  announceOutcome();
}

// Only while the result view is shown: the start-up page completes too.
void FormMain::announceOutcome() {
  if (Text->isHidden()) return;
  const QString outcome = Query::spokenOutcome(Text->text(), queryStatus->text());
  if (outcome == spokenOutcome_) return;
  spokenOutcome_ = outcome;
  announcer->announce(outcome);
}
