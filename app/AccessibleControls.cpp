#include "AccessibleControls.h"

#include "AccessibleWindow.h"
#include "Controls.h"
#include "CourierPanel.h"
#include "Module1.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>

#include <algorithm>
#include <unordered_map>
#include <vector>

using FormControls::withPlainLineBreaks;

namespace {

const QString kListName = QStringLiteral("快递公司");

class CourierPanelAccessible;

// The panel's interface, which owns its list's and items'.
CourierPanelAccessible* PaneOf(CourierPanel* panel);

bool Listed(const Module1::CourierEntry& label) {
  return label.Visible && !label.Caption.isEmpty();
}

// What the list and its items have in common: no object of their own, no
// text but a name, the panel's window.
class PaintedPart : public QAccessibleInterface {
 public:
  explicit PaintedPart(CourierPanel* panel) : panel_(panel) {}
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return panel_ ? panel_->window()->windowHandle() : nullptr; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  void setText(QAccessible::Text, const QString&) override {}

 protected:
  // Covered by the result area, or not on screen.
  bool unseen() const { return !panel_ || !panel_->isVisible() || panel_->covered(); }

  QPointer<CourierPanel> panel_;
};

// One label of the panel: a courier (a list item, chosen with the press
// action) or a heading.
class CourierItemAccessible : public PaintedPart, public QAccessibleActionInterface {
 public:
  CourierItemAccessible(CourierPanel* panel, int16_t label) : PaintedPart(panel), label_(label) {}

  int16_t label() const { return label_; }
  bool isValid() const override {
    return panel_ && label_ < panel_->labels().count() && Listed(entry());
  }
  QAccessibleInterface* parent() const override;
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QString text(QAccessible::Text t) const override {
    if (!isValid()) return {};
    if (t == QAccessible::Name) return withPlainLineBreaks(entry().Caption);
    if (t == QAccessible::Description && panel_->hinted(label_))
      return QString::fromUtf16(kHintDescription);
    return {};
  }
  QRect rect() const override {
    if (!isValid()) return {};
    const QRect area = panel_->pixelRect(entry());
    return QRect(panel_->mapToGlobal(area.topLeft()), area.size());
  }
  QAccessible::Role role() const override {
    return isValid() && entry().isHeading() ? QAccessible::Heading : QAccessible::ListItem;
  }
  QAccessible::State state() const override {
    QAccessible::State state;
    state.invisible = unseen() || !isValid();
    if (!courier()) return state;
    state.focusable = true;
    state.selectable = true;
    state.selected = Module1::SelectedCourierIndex == label_;
    state.focused = panel_->hasFocus() && panel_->currentLabel() == label_;
    return state;
  }
  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::ActionInterface) return static_cast<QAccessibleActionInterface*>(this);
    return nullptr;
  }

  QStringList actionNames() const override {
    if (!courier()) return {};
    return {pressAction(), setFocusAction()};
  }
  void doAction(const QString& action) override {
    if (!courier()) return;
    if (action == pressAction()) panel_->chooseLabel(label_);
    if (action == setFocusAction()) {
      panel_->setFocus(Qt::OtherFocusReason);
      panel_->setCurrentLabel(label_);
    }
  }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }

 private:
  const Module1::CourierEntry& entry() const { return panel_->labels()[label_]; }
  bool courier() const { return isValid() && !entry().isHeading(); }

  const int16_t label_;
};

// The couriers and headings, in the labels' order.
class CourierListAccessible : public PaintedPart {
 public:
  using PaintedPart::PaintedPart;

  bool isValid() const override { return bool(panel_); }
  QAccessibleInterface* parent() const override;
  QAccessibleInterface* child(int index) const override;
  int childCount() const override;
  int indexOfChild(const QAccessibleInterface* child) const override;
  QString text(QAccessible::Text t) const override {
    return t == QAccessible::Name ? kListName : QString();
  }
  QRect rect() const override {
    return panel_ ? QRect(panel_->mapToGlobal(QPoint(0, 0)), panel_->size()) : QRect();
  }
  QAccessible::Role role() const override { return QAccessible::List; }
  QAccessible::State state() const override {
    QAccessible::State state;
    state.invisible = unseen();
    state.focusable = true;
    state.focused = panel_ && panel_->hasFocus();
    return state;
  }
  void* interface_cast(QAccessible::InterfaceType) override { return nullptr; }
};

// The panel: its list first, then its controls (the result area, the back
// button). It owns the list's and the items' interfaces.
class CourierPanelAccessible : public QAccessibleWidget {
 public:
  explicit CourierPanelAccessible(CourierPanel* panel)
      : QAccessibleWidget(panel, QAccessible::Pane) {}
  ~CourierPanelAccessible() override {
    if (listId_) QAccessible::deleteAccessibleInterface(listId_);
    for (const auto& [label, id] : itemIds_) QAccessible::deleteAccessibleInterface(id);
  }

  int childCount() const override { return 1 + QAccessibleWidget::childCount(); }
  QAccessibleInterface* child(int index) const override {
    if (index == 0) return list();
    return index > 0 ? QAccessibleWidget::child(index - 1) : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    if (child == list()) return 0;
    const int index = QAccessibleWidget::indexOfChild(child);
    return index < 0 ? -1 : index + 1;
  }
  QAccessibleInterface* focusChild() const override {
    if (panel()->hasFocus()) return item(panel()->currentLabel());
    return QAccessibleWidget::focusChild();
  }

  QAccessibleInterface* list() const {
    if (!listId_)
      listId_ = QAccessible::registerAccessibleInterface(new CourierListAccessible(panel()));
    return QAccessible::accessibleInterface(listId_);
  }
  // Label k's item; null for a label the list does not show.
  QAccessibleInterface* item(int16_t k) const {
    const Module1::CourierLabels& labels = panel()->labels();
    if (k < 0 || k >= labels.count() || !Listed(labels[k])) return nullptr;
    auto [place, added] = itemIds_.try_emplace(k, 0);
    if (added)
      place->second =
          QAccessible::registerAccessibleInterface(new CourierItemAccessible(panel(), k));
    return QAccessible::accessibleInterface(place->second);
  }
  // The labels the list shows, in order.
  const std::vector<int16_t>& listed() const {
    const Module1::CourierLabels& labels = panel()->labels();
    if (labels.revision() == listedRevision_) return listed_;
    listed_.clear();
    for (const Module1::CourierEntry& label : labels.all())
      if (Listed(label)) listed_.push_back(label.Index);
    listedRevision_ = labels.revision();
    return listed_;
  }

 private:
  CourierPanel* panel() const { return static_cast<CourierPanel*>(widget()); }

  mutable QAccessible::Id listId_ = 0;
  mutable std::unordered_map<int16_t, QAccessible::Id> itemIds_;
  mutable std::vector<int16_t> listed_;
  mutable quint64 listedRevision_ = ~quint64(0);
};

CourierPanelAccessible* PaneOf(CourierPanel* panel) {
  return panel ? dynamic_cast<CourierPanelAccessible*>(QAccessible::queryAccessibleInterface(panel))
               : nullptr;
}

QAccessibleInterface* CourierItemAccessible::parent() const {
  const CourierPanelAccessible* pane = PaneOf(panel_);
  return pane ? pane->list() : nullptr;
}

QAccessibleInterface* CourierListAccessible::parent() const {
  return QAccessible::queryAccessibleInterface(panel_.data());
}

QAccessibleInterface* CourierListAccessible::child(int index) const {
  const CourierPanelAccessible* pane = PaneOf(panel_);
  if (!pane || index < 0 || size_t(index) >= pane->listed().size()) return nullptr;
  return pane->item(pane->listed()[size_t(index)]);
}

int CourierListAccessible::childCount() const {
  const CourierPanelAccessible* pane = PaneOf(panel_);
  return pane ? int(pane->listed().size()) : 0;
}

int CourierListAccessible::indexOfChild(const QAccessibleInterface* child) const {
  const auto* item = dynamic_cast<const CourierItemAccessible*>(child);
  const CourierPanelAccessible* pane = PaneOf(panel_);
  if (!item || !pane) return -1;
  const std::vector<int16_t>& listed = pane->listed();
  const auto place = std::lower_bound(listed.begin(), listed.end(), item->label());
  return place != listed.end() && *place == item->label() ? int(place - listed.begin()) : -1;
}

// A control with nothing for a reader: a picture store, the hover frame
// that follows the pointer, the browser that never shows its pages.
class UnseenControl : public QAccessibleWidget {
 public:
  using QAccessibleWidget::QAccessibleWidget;
  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.invisible = true;
    return state;
  }
};

// Only the design's own controls; the toolkit's (text boxes, buttons,
// labels) have their interfaces already.
QAccessibleInterface* ControlFactory(const QString&, QObject* object) {
  using namespace FormControls;
  if (auto* panel = dynamic_cast<CourierPanel*>(object)) return new CourierPanelAccessible(panel);
  if (auto* label = dynamic_cast<Label*>(object))
    return new QAccessibleWidget(label, QAccessible::StaticText);
  if (auto* image = dynamic_cast<Image*>(object))
    return new UnseenControl(image, QAccessible::Graphic);
  if (auto* shape = dynamic_cast<Shape*>(object))
    return new UnseenControl(shape, QAccessible::Graphic);
  if (auto* browser = dynamic_cast<BrowserControl*>(object))
    return new UnseenControl(browser, QAccessible::Client);
  if (auto* box = dynamic_cast<PictureBox*>(object))
    return new QAccessibleWidget(box, QAccessible::Grouping);
  return nullptr;
}

}  // namespace

void InstallAccessibleControls() {
  ModAPI::InstallAccessibleWindows();
  static const bool installed = (QAccessible::installFactory(ControlFactory), true);
  Q_UNUSED(installed);
}

// Only while a screen reader listens: the events would make the interfaces
// for nothing otherwise.
void AnnounceCurrentCourier(CourierPanel& panel) {
  if (!QAccessible::isActive()) return;
  const CourierPanelAccessible* pane = PaneOf(&panel);
  QAccessibleInterface* item = pane ? pane->item(panel.currentLabel()) : nullptr;
  if (!item) return;
  QAccessibleEvent event(item, QAccessible::Focus);
  QAccessible::updateAccessibility(&event);
}

void AnnounceChosenCourier(CourierPanel& panel, int16_t previous) {
  const CourierPanelAccessible* pane = QAccessible::isActive() ? PaneOf(&panel) : nullptr;
  if (!pane) return;
  QAccessible::State selected;
  selected.selected = true;
  for (const int16_t label : {previous, Module1::SelectedCourierIndex}) {
    if (QAccessibleInterface* item = pane->item(label)) {
      QAccessibleStateChangeEvent event(item, selected);
      QAccessible::updateAccessibility(&event);
    }
  }
}

void AnnounceHintChanges(CourierPanel& panel, const std::vector<int16_t>& changed) {
  const CourierPanelAccessible* pane = QAccessible::isActive() ? PaneOf(&panel) : nullptr;
  if (!pane) return;
  for (const int16_t label : changed) {
    if (QAccessibleInterface* item = pane->item(label)) {
      QAccessibleEvent event(item, QAccessible::DescriptionChanged);
      QAccessible::updateAccessibility(&event);
    }
  }
}
