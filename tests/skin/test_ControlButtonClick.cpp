// ControlButtonClick as a signal: heard before the button's own action, by
// every listener in turn, with Cancel read back after the last one, on the
// window as the context object, and never through a queue.
#include "SkinnedWindow.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QStringList>
#include <QTest>

#include <algorithm>

using namespace ModAPI;

namespace {

// Collects what Qt logs while it lives, instead of printing it.
class LoggedMessages {
 public:
  LoggedMessages() : previous_(qInstallMessageHandler(&LoggedMessages::collect)) {
    current() = this;
  }
  ~LoggedMessages() {
    qInstallMessageHandler(previous_);
    current() = nullptr;
  }
  bool contains(const char* text) const {
    return std::any_of(messages.begin(), messages.end(),
                       [&](const QString& m) { return m.contains(QLatin1String(text)); });
  }

  QStringList messages;

 private:
  static LoggedMessages*& current() {
    static LoggedMessages* collecting = nullptr;
    return collecting;
  }
  static void collect(QtMsgType, const QMessageLogContext&, const QString& message) {
    current()->messages << message;
  }
  QtMessageHandler previous_;
};

class ControlButtonClick : public SkinnedWindow {
 protected:
  void clickAt(QPoint at) {
    QTest::mouseMove(&window, at);
    QTest::mouseClick(&window, Qt::LeftButton, {}, at);
  }
  const QPoint close{375, 10};
  const QPoint help{285, 10};
};

// A spy counts the clicks; it cannot record an argument passed by reference
// and says so.
TEST_F(ControlButtonClick, ASpyHearsEachClickOnce) {
  skin();
  const LoggedMessages logged;
  QSignalSpy spy(window.skin.get(), &VBDirectUI::ControlButtonClick);
  ASSERT_TRUE(spy.isValid());
  EXPECT_TRUE(logged.contains("Unable to handle parameter 'args'"));
  clickAt(help);
  window.skin->clickButton(2);
  EXPECT_EQ(spy.count(), 2);
  EXPECT_TRUE(window.isMinimized()) << "nobody cancelled";
}

// The owner hears of the click while the window is still as it was.
TEST_F(ControlButtonClick, ListenersHearOfItBeforeTheAction) {
  skin();
  bool visibleWhenHeard = false;
  QObject::connect(window.skin.get(), &VBDirectUI::ControlButtonClick, &window,
                   [&](ControlButtonClickArgs&) { visibleWhenHeard = window.isVisible(); });
  clickAt(close);
  EXPECT_TRUE(visibleWhenHeard);
  EXPECT_FALSE(window.isVisible());
}

// Each listener sees what the ones before it left; the skin acts on Cancel
// as the last one left it.
TEST_F(ControlButtonClick, CancelIsWhatTheLastListenerLeft) {
  skin();
  window.cancel = true;  // the owner, connected first, cancels
  std::vector<bool> seen;
  QObject second;
  QObject::connect(window.skin.get(), &VBDirectUI::ControlButtonClick, &second,
                   [&](ControlButtonClickArgs& e) { seen.push_back(e.Cancel); });
  clickAt(close);
  EXPECT_TRUE(window.isVisible()) << "cancelled";
  EXPECT_EQ(seen, std::vector<bool>{true});

  QObject::connect(window.skin.get(), &VBDirectUI::ControlButtonClick, &second,
                   [&](ControlButtonClickArgs& e) { e.Cancel = false; });
  clickAt(close);
  EXPECT_FALSE(window.isVisible()) << "the last listener let it happen";
}

// A listener that rewrites the button or the menu point changes nothing the
// skin does: the help button stays without action, and later listeners see
// the rewritten values.
TEST_F(ControlButtonClick, TheOtherArgumentsAreTheListenersOnly) {
  skin();
  QObject rewriter;
  QObject::connect(window.skin.get(), &VBDirectUI::ControlButtonClick, &rewriter,
                   [](ControlButtonClickArgs& e) {
                     e.ButtonIndex = 0;
                     e.MenuX = -1;
                   });
  std::vector<qint32> seenIndex;
  QObject::connect(window.skin.get(), &VBDirectUI::ControlButtonClick, &rewriter,
                   [&](ControlButtonClickArgs& e) { seenIndex.push_back(e.ButtonIndex); });
  clickAt(help);
  ASSERT_EQ(window.clicks.size(), 1u);
  EXPECT_EQ(window.clicks[0], (SkinOwner::Click{3, 272, 20})) << "the owner, first, saw the truth";
  EXPECT_EQ(seenIndex, std::vector<qint32>{0});
  EXPECT_TRUE(window.isVisible()) << "not closed";
}

// A queued listener would run once the skin had read Cancel and the
// arguments were gone: Qt does not queue a reference, and the click goes on
// without that listener.
TEST_F(ControlButtonClick, AQueuedListenerIsNeverCalled) {
  skin();
  bool called = false;
  QObject receiver;
  QObject::connect(
      window.skin.get(), &VBDirectUI::ControlButtonClick, &receiver,
      [&](ControlButtonClickArgs& e) {
        called = true;
        e.Cancel = true;
      },
      Qt::QueuedConnection);
  const LoggedMessages logged;
  clickAt(QPoint(340, 10));
  QCoreApplication::processEvents();
  EXPECT_FALSE(called);
  EXPECT_TRUE(logged.contains("Cannot queue arguments"));
  EXPECT_TRUE(window.isMaximized()) << "not cancelled";
}

// Connected with a context object, a listener goes with it.
TEST_F(ControlButtonClick, AListenerGoesWithItsContextObject) {
  skin();
  int heard = 0;
  {
    QObject context;
    QObject::connect(window.skin.get(), &VBDirectUI::ControlButtonClick, &context,
                     [&](ControlButtonClickArgs&) { ++heard; });
    window.skin->clickButton(3);
  }
  window.skin->clickButton(3);
  EXPECT_EQ(heard, 1);
  EXPECT_EQ(window.clicks.size(), 2u);
}

// A listener may drop the skin object: the click ends there, the button's
// own action does not happen and nothing touches the freed object.
TEST_F(ControlButtonClick, AListenerMayDropTheSkin) {
  skin();
  QObject::connect(window.skin.get(), &VBDirectUI::ControlButtonClick, &window,
                   [&](ControlButtonClickArgs&) { window.skin.reset(); });
  clickAt(QPoint(340, 10));  // the maximise button
  EXPECT_EQ(window.skin, nullptr);
  EXPECT_FALSE(window.isMaximized());
  EXPECT_FALSE(IsTimerSet(hwnd, 0));
  QTest::mouseMove(&window, QPoint(200, 150));  // the window lives on unskinned
}

}  // namespace
