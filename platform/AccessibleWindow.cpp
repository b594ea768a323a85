#include "AccessibleWindow.h"

#include "Window.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QWidget>

#include <unordered_map>
#include <vector>

namespace ModAPI {
namespace {

// By window handle: handles are never reused, so a dead window's entry
// cannot pass for a new window's.
std::unordered_map<quint32, PaintedButtons*>& Registry() {
  static std::unordered_map<quint32, PaintedButtons*> registry;
  return registry;
}

PaintedButtons* buttonsOf(QWidget* window) {
  if (!window) return nullptr;
  const auto it = Registry().find(WindowHandle(window).value);
  return it == Registry().end() ? nullptr : it->second;
}

int paintedCount(QWidget* window) {
  const PaintedButtons* buttons = buttonsOf(window);
  return buttons ? buttons->paintedButtonCount() : 0;
}

// One painted button. It has no object of its own; the window's interface
// owns it.
class PaintedButtonAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
 public:
  PaintedButtonAccessible(QWidget* window, int place) : window_(window), place_(place) {}

  bool isValid() const override { return place_ < paintedCount(window_); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return window_ ? window_->windowHandle() : nullptr; }
  QAccessibleInterface* parent() const override {
    return QAccessible::queryAccessibleInterface(window_.data());
  }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }

  QString text(QAccessible::Text t) const override {
    if (t != QAccessible::Name || !isValid()) return {};
    return buttonsOf(window_)->paintedButtonName(place_);
  }
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override {
    if (!isValid()) return {};
    const RECT r = buttonsOf(window_)->paintedButtonRect(place_);
    return QRect(window_->mapToGlobal(QPoint(r.left, r.top)),
                 QSize(r.right - r.left, r.bottom - r.top));
  }
  QAccessible::Role role() const override { return QAccessible::PushButton; }
  QAccessible::State state() const override {
    QAccessible::State state;
    state.invisible =
        !isValid() || !window_->isVisible() || !buttonsOf(window_)->paintedButtonShown(place_);
    return state;
  }
  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::ActionInterface) return static_cast<QAccessibleActionInterface*>(this);
    return nullptr;
  }

  QStringList actionNames() const override { return {pressAction()}; }
  void doAction(const QString& action) override {
    if (action == pressAction() && isValid()) buttonsOf(window_)->pressPaintedButton(place_);
  }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }

 private:
  QPointer<QWidget> window_;
  const int place_;
};

// A top-level widget as a window: its painted buttons come first, then its
// controls, as they lie from the top.
class AccessibleWindow : public QAccessibleWidget {
 public:
  explicit AccessibleWindow(QWidget* window) : QAccessibleWidget(window, QAccessible::Window) {}
  ~AccessibleWindow() override {
    for (const QAccessible::Id id : buttonIds_) QAccessible::deleteAccessibleInterface(id);
  }

  int childCount() const override {
    return paintedCount(widget()) + QAccessibleWidget::childCount();
  }
  QAccessibleInterface* child(int index) const override {
    const int painted = paintedCount(widget());
    if (index < 0) return nullptr;
    return index < painted ? paintedButton(index) : QAccessibleWidget::child(index - painted);
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    const int painted = paintedCount(widget());
    for (int place = 0; place < int(buttonIds_.size()) && place < painted; ++place) {
      if (QAccessible::accessibleInterface(buttonIds_[size_t(place)]) == child) return place;
    }
    const int index = QAccessibleWidget::indexOfChild(child);
    return index < 0 ? -1 : painted + index;
  }

 private:
  QAccessibleInterface* paintedButton(int place) const {
    while (int(buttonIds_.size()) <= place) {
      auto* button = new PaintedButtonAccessible(widget(), int(buttonIds_.size()));
      buttonIds_.push_back(QAccessible::registerAccessibleInterface(button));
    }
    return QAccessible::accessibleInterface(buttonIds_[size_t(place)]);
  }

  mutable std::vector<QAccessible::Id> buttonIds_;
};

// Plain widgets only: a class with an interface of its own (a dialog, a
// menu) has been served before the search reaches "QWidget".
QAccessibleInterface* windowFactory(const QString& key, QObject* object) {
  if (key != QLatin1String("QWidget") || !object || !object->isWidgetType()) return nullptr;
  auto* widget = static_cast<QWidget*>(object);
  return widget->isWindow() ? new AccessibleWindow(widget) : nullptr;
}

}  // namespace

void InstallAccessibleWindows() {
  static const bool installed = (QAccessible::installFactory(windowFactory), true);
  Q_UNUSED(installed);
}

void SetPaintedButtons(HWND window, PaintedButtons* buttons) {
  InstallAccessibleWindows();
  if (buttons)
    Registry()[window.value] = buttons;
  else
    Registry().erase(window.value);
}

}  // namespace ModAPI
