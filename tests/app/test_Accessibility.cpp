// The main window as assistive technology sees it, read in process through
// QAccessible: roles and names of the controls, the courier list with its
// chosen item, the skin's caption buttons, and the focus events that make a
// screen reader speak the courier the keyboard is on.
#include "FormMain.h"

#include "Shell.h"
#include "ShellRecorder.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QRegularExpression>
#include <QTest>

namespace {

QAccessibleInterface* accessible(QObject* object) {
  return QAccessible::queryAccessibleInterface(object);
}

QString nameOf(QAccessibleInterface* iface) {
  return iface ? iface->text(QAccessible::Name) : QString();
}

// The events the window sends while a test runs: type and object name.
std::vector<std::pair<QAccessible::Event, QString>>& sentEvents() {
  static std::vector<std::pair<QAccessible::Event, QString>> events;
  return events;
}

// What the notifications said each time they showed.
QStringList& announcements() {
  static QStringList said;
  return said;
}

void recordEvent(QAccessibleEvent* event) {
  QAccessibleInterface* iface = event->accessibleInterface();
  sentEvents().emplace_back(event->type(), nameOf(iface));
  if (event->type() == QAccessible::ObjectShow && iface->role() == QAccessible::Notification)
    announcements() << nameOf(iface);
}

class Accessibility : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(form.Form_Load(QString()));
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    sentEvents().clear();
    announcements().clear();
    previousHandler_ = QAccessible::installUpdateHandler(recordEvent);
  }
  void TearDown() override { QAccessible::installUpdateHandler(previousHandler_); }

  QAccessibleInterface* list() { return accessible(form.BG)->child(0); }
  QAccessibleInterface* item(int16_t label) {
    QAccessibleInterface* courierList = list();
    for (int i = 0; i < courierList->childCount(); ++i) {
      if (nameOf(courierList->child(i)) == form.BG->labels()[label].Caption)
        return courierList->child(i);
    }
    return nullptr;
  }
  void pressAction(QAccessibleInterface* iface) {
    ASSERT_NE(iface->actionInterface(), nullptr);
    iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  }
  // The names of the focus events sent so far.
  QStringList focusEvents() {
    QStringList names;
    for (const auto& [type, name] : sentEvents())
      if (type == QAccessible::Focus) names << name;
    return names;
  }

  ShellRecorder shell;
  FormMain form;

 private:
  QAccessible::UpdateHandler previousHandler_ = nullptr;
};

TEST_F(Accessibility, EveryControlHasItsRoleAndAChineseName) {
  struct Expected {
    QWidget* control;
    QAccessible::Role role;
    QString name;
    bool shown;
  };
  const Expected expected[] = {
      {&form, QAccessible::Window, FormMain::kDesignCaption, true},
      {form.Web, QAccessible::Client, "网页", false},
      {form.P1, QAccessible::Grouping, "当前快递公司", true},
      {form.LBTitle, QAccessible::StaticText, form.LBTitle->caption(), true},
      {form.SSCMD, QAccessible::Button, "查询", true},
      {form.SSBG, QAccessible::Grouping, "单号输入区", true},
      {form.SStext, QAccessible::EditableText, "快递单号", true},
      {form.BG, QAccessible::Pane, "查询面板", true},
      {form.Back, QAccessible::Button, "返回", false},
      {form.LbBack, QAccessible::StaticText, "返 回", false},
      {form.Text, QAccessible::EditableText, "查询结果", false},
      {form.S1, QAccessible::Graphic, "悬停框", false},
      {form.Image4, QAccessible::Graphic, "单号框图片", false},
      {form.Image3, QAccessible::Graphic, "单号框焦点图片", false},
      {form.queryStatus, QAccessible::StatusBar, "查询状态", false},
  };
  const QRegularExpression chinese(QStringLiteral("[\\x{4e00}-\\x{9fff}]"));
  for (const Expected& e : expected) {
    QAccessibleInterface* iface = accessible(e.control);
    ASSERT_NE(iface, nullptr);
    SCOPED_TRACE(e.name.toStdString());
    EXPECT_EQ(iface->role(), e.role);
    EXPECT_EQ(nameOf(iface), e.name);
    EXPECT_TRUE(e.name.contains(chinese));
    EXPECT_EQ(iface->state().invisible, !e.shown);
  }
}

// The result area is the ordinary, editable text box it is on screen; a
// reader is told so rather than told it cannot be changed.
TEST_F(Accessibility, TheResultAreaReadsAsEditableText) {
  form.Text->show();
  form.Text->setText("已签收");
  QAccessibleInterface* text = accessible(form.Text);
  EXPECT_TRUE(text->state().editable);
  EXPECT_FALSE(text->state().readOnly);
  ASSERT_NE(text->textInterface(), nullptr);
  EXPECT_EQ(text->textInterface()->text(0, text->textInterface()->characterCount()), "已签收");
}

// The list holds the couriers alone and the panel the headings beside it:
// a reader that counts the list's items and one that gives an item's place
// in its parent say the same number.
TEST_F(Accessibility, ThePanelHoldsAListOfTheCouriersAndTheHeadings) {
  QAccessibleInterface* courierList = list();
  ASSERT_NE(courierList, nullptr);
  EXPECT_EQ(courierList->role(), QAccessible::List);
  EXPECT_EQ(nameOf(courierList), "快递公司");
  QAccessibleInterface* pane = accessible(form.BG);
  EXPECT_EQ(courierList->parent(), pane);
  QStringList couriers, headings;
  for (const Module1::CourierEntry& label : form.BG->labels().all())
    (label.isHeading() ? headings : couriers) << label.Caption;
  ASSERT_FALSE(headings.isEmpty());

  QStringList listed;
  for (int i = 0; i < courierList->childCount(); ++i) {
    QAccessibleInterface* entry = courierList->child(i);
    SCOPED_TRACE(nameOf(entry).toStdString());
    listed << nameOf(entry);
    EXPECT_EQ(entry->role(), QAccessible::ListItem);
    EXPECT_EQ(entry->parent(), courierList);
    EXPECT_EQ(courierList->indexOfChild(entry), i);
    const QAccessible::State state = entry->state();
    EXPECT_TRUE(state.selectable && state.focusable);
    EXPECT_EQ(state.selected, nameOf(entry) == form.LBTitle->caption()) << "only the chosen";
  }
  EXPECT_EQ(listed, couriers);
  const Module1::CourierEntry& first = form.BG->labels()[1];
  EXPECT_EQ(item(1)->rect().topLeft(), form.BG->mapToGlobal(form.BG->pixelRect(first).topLeft()));

  QStringList besideTheList;
  for (int i = 1; i < pane->childCount(); ++i) {
    QAccessibleInterface* entry = pane->child(i);
    EXPECT_EQ(pane->indexOfChild(entry), i);
    if (entry->role() != QAccessible::Heading) continue;
    besideTheList << nameOf(entry);
    EXPECT_EQ(entry->parent(), pane);
    EXPECT_EQ(courierList->indexOfChild(entry), -1);
    EXPECT_FALSE(entry->state().selectable || entry->state().focusable);
    EXPECT_TRUE(entry->actionInterface()->actionNames().isEmpty());
  }
  EXPECT_EQ(besideTheList, headings);
}

// While the result view covers the panel, nothing under it is on screen
// for a reader: neither the list and its couriers nor the headings.
TEST_F(Accessibility, NothingTheResultViewCoversReportsItselfShown) {
  QAccessibleInterface* pane = accessible(form.BG);
  auto shownUnderTheView = [&] {
    QStringList shown;
    if (!list()->state().invisible) shown << nameOf(list());
    for (int i = 0; i < list()->childCount(); ++i)
      if (!list()->child(i)->state().invisible) shown << nameOf(list()->child(i));
    for (int i = 1; i < pane->childCount(); ++i)
      if (pane->child(i)->role() == QAccessible::Heading && !pane->child(i)->state().invisible)
        shown << nameOf(pane->child(i));
    return shown;
  };
  EXPECT_GT(shownUnderTheView().size(), 70) << "all of them before the view";
  form.SStext->setText("YT100");
  pressAction(accessible(form.SSCMD));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !form.Text->isHidden(); }, 5000));
  EXPECT_EQ(shownUnderTheView(), QStringList());
  EXPECT_FALSE(accessible(form.Text)->state().invisible);
  EXPECT_FALSE(accessible(form.Back)->state().invisible);
}

TEST_F(Accessibility, PressingAnItemChoosesItAsAClickDoes) {
  form.SStext->setText("12345");
  pressAction(item(3));
  EXPECT_EQ(form.selection().SelectedCourierIndex(), 3);
  EXPECT_EQ(form.LBTitle->caption(), form.BG->labels()[3].Caption);
  EXPECT_EQ(form.SStext->text(), "请输入 " + form.BG->labels()[3].Caption + " 单号");
  EXPECT_TRUE(item(3)->state().selected);
  EXPECT_FALSE(item(1)->state().selected);
  std::vector<std::pair<QAccessible::Event, QString>> selection;
  for (const auto& event : sentEvents())
    if (event.first == QAccessible::StateChanged) selection.push_back(event);
  EXPECT_EQ(selection.size(), 2u) << "the item left and the item chosen";
  // As list views tell of their selection, which the desktop's bridge passes on.
  QStringList removed, added;
  for (const auto& [type, name] : sentEvents()) {
    if (type == QAccessible::SelectionRemove) removed << name;
    if (type == QAccessible::SelectionAdd) added << name;
  }
  EXPECT_EQ(removed, QStringList{form.BG->labels()[1].Caption});
  EXPECT_EQ(added, QStringList{form.BG->labels()[3].Caption});
}

// The announcer speaks each time it shows, with its text as its name, as a
// notification that takes no focus.
TEST_F(Accessibility, ChoosingACourierIsAnnouncedWhereverTheFocusIs) {
  QAccessibleInterface* announcer = accessible(form.announcer);
  ASSERT_NE(announcer, nullptr);
  EXPECT_TRUE(announcer->state().invisible) << "nothing to say yet";
  pressAction(item(3));
  pressAction(item(3));
  EXPECT_EQ(announcer->role(), QAccessible::Notification);
  EXPECT_FALSE(announcer->state().focusable);
  const QString chosen = "已选 " + form.BG->labels()[3].Caption;
  EXPECT_EQ(announcements(), (QStringList{chosen, chosen})) << "again when chosen again";
  EXPECT_EQ(nameOf(announcer), chosen);
}

// Loading, then the red message with the cause of the status line, which
// is a status bar named by that cause; the focus stays in the number box.
TEST_F(Accessibility, AQueryIsAnnouncedWhileItLoadsAndWhenItEnds) {
  qputenv("COURIER_QUERY_SERVICE", "http://127.0.0.1:9");
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  form.SStext->setFocus();
  form.SStext->setText("YT100");
  pressAction(accessible(form.SSCMD));
  const QString cause = "无法连接查询服务 127.0.0.1:9";
  const bool ended = QTest::qWaitFor([&] { return form.queryStatus->text() == cause; }, 20000);
  qunsetenv("COURIER_QUERY_SERVICE");
  ASSERT_TRUE(ended);
  QCoreApplication::processEvents();
  const QString message = "查询不到结果，请您确认输入的是 " + form.LBTitle->caption() + " 订单号！";
  EXPECT_EQ(announcements(), (QStringList{"正在加载。。。", message + " " + cause}));
  QAccessibleInterface* status = accessible(form.queryStatus);
  EXPECT_EQ(status->role(), QAccessible::StatusBar);
  EXPECT_EQ(nameOf(status), cause);
  EXPECT_TRUE(form.SStext->hasFocus());
}

// Typing a number whose format is a courier's: the courier's item says so in
// its description and the number box names the courier, and a listening
// reader hears of both changes, as it does when the mark goes again.
TEST_F(Accessibility, AMarkedCourierSaysSoAndTheNumberBoxNamesIt) {
  const int16_t shunfeng = 0;
  ASSERT_EQ(form.BG->labels()[shunfeng].Tag, "shunfeng");
  form.SStext->setText("SF2122544101995");
  EXPECT_EQ(item(shunfeng)->text(QAccessible::Description), "符合输入单号的格式");
  EXPECT_EQ(item(1)->text(QAccessible::Description), "");
  EXPECT_EQ(accessible(form.SStext)->text(QAccessible::Description), "单号格式相符：顺丰速运");
  EXPECT_FALSE(item(shunfeng)->state().selected) << "a mark chooses nothing";

  form.SStext->setText("SF");
  EXPECT_EQ(item(shunfeng)->text(QAccessible::Description), "");
  EXPECT_EQ(accessible(form.SStext)->text(QAccessible::Description), "");
  QStringList described;
  for (const auto& [type, name] : sentEvents())
    if (type == QAccessible::DescriptionChanged) described << name;
  EXPECT_EQ(described, (QStringList{"顺丰速运", "快递单号", "顺丰速运", "快递单号"}));
}

// The panel's own focus event comes first, the courier's last, so that a
// reader ends on the courier.
TEST_F(Accessibility, FocusEventsFollowTheCurrentCourier) {
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  const Module1::CourierLabels& labels = form.BG->labels();
  for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Right, Qt::Key_Home, Qt::Key_End}) {
    QTest::keyClick(form.windowHandle(), key);
    QCoreApplication::processEvents();
  }
  ASSERT_TRUE(form.BG->hasFocus());
  const QStringList events = focusEvents();
  const QStringList expected = {"查询面板", labels[1].Caption, labels[2].Caption, labels[0].Caption,
                                labels[int16_t(labels.count() - 1)].Caption};
  EXPECT_EQ(events.mid(events.lastIndexOf("查询面板")), expected);
  QAccessibleInterface* last = item(int16_t(labels.count() - 1));
  EXPECT_TRUE(last->state().focused);
  EXPECT_EQ(accessible(form.BG)->focusChild(), last);
  EXPECT_TRUE(list()->state().focused);
}

TEST_F(Accessibility, TheButtonsPressLikeAClick) {
  QAccessibleInterface* query = accessible(form.SSCMD);
  ASSERT_TRUE(
      query->actionInterface()->actionNames().contains(QAccessibleActionInterface::pressAction()));
  pressAction(query);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !shell.messages.isEmpty(); }, 5000))
      << "the prompt is no number: the message box";
  form.SStext->setText("YT100");
  pressAction(query);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !form.Back->isHidden(); }, 5000));
  pressAction(accessible(form.Back));
  EXPECT_TRUE(QTest::qWaitFor([&] { return form.Back->isHidden(); }, 5000));
}

TEST_F(Accessibility, TheCaptionButtonsAreNamedByTheWindowsState) {
  auto captionButtons = [&] {
    QStringList names;
    QAccessibleInterface* window = accessible(&form);
    for (int i = 0; i < window->childCount(); ++i) {
      QAccessibleInterface* child = window->child(i);
      if (!child->object() && child->role() == QAccessible::Button) names << nameOf(child);
    }
    return names;
  };
  EXPECT_EQ(captionButtons(), QStringList({"帮助", "最小化", "最大化", "关闭"}));
  form.showMaximized();
  EXPECT_EQ(captionButtons(), QStringList({"帮助", "最小化", "还原", "关闭"}));
  pressAction(accessible(&form)->child(0));
  EXPECT_EQ(shell.opened, QStringList{ModAPI::VendorHomePage()});
}

}  // namespace
