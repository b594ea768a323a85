#include "AccessibleControls.h"

#include "AccessibleWindow.h"
#include "Announcer.h"
#include "Controls.h"
#include "CourierPanel.h"
#include "LineEnds.h"
#include "StatusLine.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>

#include <algorithm>
#include <unordered_map>
#include <vector>

using ModAPI::withLfLineEnds;

namespace {

const QString kListName = QStringLiteral("快递公司");

class CourierPanelAccessible;

// The panel's interface, which owns its list's and items'.
CourierPanelAccessible* paneOf(CourierPanel* panel);

bool isListed(const Module1::CourierEntry& label) {
  return label.Visible && !label.Caption.isEmpty();
}

bool isListedCourier(const Module1::CourierEntry& label) {
  return isListed(label) && !label.isHeading();
}

bool isListedHeading(const Module1::CourierEntry& label) {
  return isListed(label) && label.isHeading();
}

// The labels that `take` takes, in order, once per revision of the labels.
class LabelIndex {
 public:
  using Take = bool (*)(const Module1::CourierEntry&);
  explicit LabelIndex(Take take) : take_(take) {}

  const std::vector<int16_t>& of(const Module1::CourierLabels& labels) const {
    if (labels.revision() == revision_) return taken_;
    taken_.clear();
    for (const Module1::CourierEntry& label : labels.all())
      if (take_(label)) taken_.push_back(label.Index);
    revision_ = labels.revision();
    return taken_;
  }
  // Where label k is among them; -1 when it is not.
  int place(const Module1::CourierLabels& labels, int16_t k) const {
    const std::vector<int16_t>& taken = of(labels);
    const auto found = std::lower_bound(taken.begin(), taken.end(), k);
    return found != taken.end() && *found == k ? int(found - taken.begin()) : -1;
  }

 private:
  const Take take_;
  mutable std::vector<int16_t> taken_;
  mutable quint64 revision_ = ~quint64(0);
};

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
    return panel_ && label_ < panel_->labels().count() && isListed(entry());
  }
  // A courier's is the list, a heading's the panel.
  QAccessibleInterface* parent() const override;
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QString text(QAccessible::Text t) const override {
    if (!isValid()) return {};
    if (t == QAccessible::Name) return withLfLineEnds(entry().Caption);
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
    state.selected = panel_->selection().SelectedCourierIndex() == label_;
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

// The couriers, in the labels' order.
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

// The panel: its list first, then the headings, then its controls (the
// result area, the back button). The headings are no items of the list, so
// that every count a reader gives is of couriers. It owns the list's, the
// couriers' and the headings' interfaces.
class CourierPanelAccessible : public QAccessibleWidget {
 public:
  explicit CourierPanelAccessible(CourierPanel* panel)
      : QAccessibleWidget(panel, QAccessible::Pane) {}
  ~CourierPanelAccessible() override {
    if (listId_) QAccessible::deleteAccessibleInterface(listId_);
    for (const auto& [label, id] : itemIds_) QAccessible::deleteAccessibleInterface(id);
  }

  int childCount() const override { return ownChildren() + QAccessibleWidget::childCount(); }
  QAccessibleInterface* child(int index) const override {
    if (index == 0) return list();
    const std::vector<int16_t>& headings = this->headings();
    if (index > 0 && size_t(index) <= headings.size()) return item(headings[size_t(index - 1)]);
    return index > 0 ? QAccessibleWidget::child(index - ownChildren()) : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    if (child == list()) return 0;
    if (const auto* heading = dynamic_cast<const CourierItemAccessible*>(child)) {
      const int place = headings_.place(panel()->labels(), heading->label());
      return place < 0 ? -1 : 1 + place;
    }
    const int index = QAccessibleWidget::indexOfChild(child);
    return index < 0 ? -1 : index + ownChildren();
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
  // Label k's item; null for a label the panel does not show.
  QAccessibleInterface* item(int16_t k) const {
    const Module1::CourierLabels& labels = panel()->labels();
    if (k < 0 || k >= labels.count() || !isListed(labels[k])) return nullptr;
    auto [place, added] = itemIds_.try_emplace(k, 0);
    if (added)
      place->second =
          QAccessible::registerAccessibleInterface(new CourierItemAccessible(panel(), k));
    return QAccessible::accessibleInterface(place->second);
  }
  // The couriers the list shows and the headings, each in order.
  const std::vector<int16_t>& couriers() const { return couriers_.of(panel()->labels()); }
  const std::vector<int16_t>& headings() const { return headings_.of(panel()->labels()); }
  int courierPlace(int16_t k) const { return couriers_.place(panel()->labels(), k); }

 private:
  CourierPanel* panel() const { return static_cast<CourierPanel*>(widget()); }
  // The list and the headings.
  int ownChildren() const { return 1 + int(headings().size()); }

  mutable QAccessible::Id listId_ = 0;
  mutable std::unordered_map<int16_t, QAccessible::Id> itemIds_;
  LabelIndex couriers_{isListedCourier};
  LabelIndex headings_{isListedHeading};
};

CourierPanelAccessible* paneOf(CourierPanel* panel) {
  return panel ? dynamic_cast<CourierPanelAccessible*>(QAccessible::queryAccessibleInterface(panel))
               : nullptr;
}

QAccessibleInterface* CourierItemAccessible::parent() const {
  CourierPanelAccessible* pane = paneOf(panel_);
  if (!pane || !isValid()) return nullptr;
  return entry().isHeading() ? pane : pane->list();
}

QAccessibleInterface* CourierListAccessible::parent() const {
  return QAccessible::queryAccessibleInterface(panel_.data());
}

QAccessibleInterface* CourierListAccessible::child(int index) const {
  const CourierPanelAccessible* pane = paneOf(panel_);
  if (!pane || index < 0 || size_t(index) >= pane->couriers().size()) return nullptr;
  return pane->item(pane->couriers()[size_t(index)]);
}

int CourierListAccessible::childCount() const {
  const CourierPanelAccessible* pane = paneOf(panel_);
  return pane ? int(pane->couriers().size()) : 0;
}

int CourierListAccessible::indexOfChild(const QAccessibleInterface* child) const {
  const auto* item = dynamic_cast<const CourierItemAccessible*>(child);
  const CourierPanelAccessible* pane = paneOf(panel_);
  return item && pane ? pane->courierPlace(item->label()) : -1;
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

QAccessibleInterface* pane(QObject* object) {
  return new CourierPanelAccessible(static_cast<CourierPanel*>(object));
}

template <QAccessible::Role role>
QAccessibleInterface* shown(QObject* object) {
  return new QAccessibleWidget(static_cast<QWidget*>(object), role);
}

template <QAccessible::Role role>
QAccessibleInterface* unseen(QObject* object) {
  return new UnseenControl(static_cast<QWidget*>(object), role);
}

// Only the design's own controls; the toolkit's (text boxes, buttons,
// labels) have their interfaces already. Qt asks for an object's own class
// first, then for each class it derives from: an image is never taken for
// the picture box it is made from.
QAccessibleInterface* controlFactory(const QString& className, QObject* object) {
  using namespace FormControls;
  using Make = QAccessibleInterface* (*)(QObject*);
  static const QHash<QString, Make> kInterfaces = {
      {CourierPanel::staticMetaObject.className(), pane},
      {Label::staticMetaObject.className(), shown<QAccessible::StaticText>},
      {Image::staticMetaObject.className(), unseen<QAccessible::Graphic>},
      {Shape::staticMetaObject.className(), unseen<QAccessible::Graphic>},
      {BrowserControl::staticMetaObject.className(), unseen<QAccessible::Client>},
      {PictureBox::staticMetaObject.className(), shown<QAccessible::Grouping>},
      {StatusLine::staticMetaObject.className(), shown<QAccessible::StatusBar>},
      {Announcer::staticMetaObject.className(), shown<QAccessible::Notification>},
  };
  const Make make = kInterfaces.value(className);
  return make && object->isWidgetType() ? make(object) : nullptr;
}

}  // namespace

void installAccessibleControls() {
  ModAPI::InstallAccessibleWindows();
  static const bool installed = (QAccessible::installFactory(controlFactory), true);
  Q_UNUSED(installed);
}

// Only while a screen reader listens: the events would make the interfaces
// for nothing otherwise.
void announceCurrentCourier(CourierPanel& panel) {
  if (!QAccessible::isActive()) return;
  const CourierPanelAccessible* pane = paneOf(&panel);
  QAccessibleInterface* item = pane ? pane->item(panel.currentLabel()) : nullptr;
  if (!item) return;
  QAccessibleEvent event(item, QAccessible::Focus);
  QAccessible::updateAccessibility(&event);
}

void announceChosenCourier(CourierPanel& panel, int16_t previous, int16_t current) {
  const CourierPanelAccessible* pane = QAccessible::isActive() ? paneOf(&panel) : nullptr;
  if (!pane) return;
  QAccessible::State selected;
  selected.selected = true;
  // The state change for the toolkit's own listeners, the selection events
  // as list views send them: the desktop's bridge passes only these on.
  const std::pair<int16_t, QAccessible::Event> changes[] = {
      {previous, QAccessible::SelectionRemove}, {current, QAccessible::SelectionAdd}};
  for (const auto& [label, selection] : changes) {
    if (QAccessibleInterface* item = pane->item(label)) {
      QAccessibleStateChangeEvent stateChange(item, selected);
      QAccessible::updateAccessibility(&stateChange);
      QAccessibleEvent selectionChange(item, selection);
      QAccessible::updateAccessibility(&selectionChange);
    }
  }
}

void announceHintChanges(CourierPanel& panel, const std::vector<int16_t>& changed) {
  const CourierPanelAccessible* pane = QAccessible::isActive() ? paneOf(&panel) : nullptr;
  if (!pane) return;
  for (const int16_t label : changed) {
    if (QAccessibleInterface* item = pane->item(label)) {
      QAccessibleEvent event(item, QAccessible::DescriptionChanged);
      QAccessible::updateAccessibility(&event);
    }
  }
}
