#include "StateSnapshot.h"

#include "Design.h"
#include "FormMain.h"

#include <QColor>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPixmap>
#include <QRegion>
#include <QSaveFile>

namespace {

// Checking for changes ten times a second keeps every change on disk within
// 200 ms, whatever event caused it, without hooks in the handlers.
constexpr int kPollMilliseconds = 100;

QJsonObject describe(const QString& name, FormControls::Control& control) {
  QWidget* widget = control.widget();
  return {{"name", name},
          {"visible", !widget->isHidden()},
          {"left", control.Left()},
          {"top", control.Top()},
          {"width", control.Width()},
          {"height", control.Height()},
          {"caption", control.captionOrText()},
          {"tag", control.Tag},
          {"foreColor", static_cast<qint64>(control.ForeColor)},
          {"backColor", static_cast<qint64>(control.BackColor)},
          {"backStyle", control.BackStyle}};
}

QJsonObject describe(const Module1::CourierEntry& label) {
  return {{"name", "LB"},
          {"index", label.Index},
          {"visible", label.Visible},
          {"left", label.Left},
          {"top", label.Top},
          {"width", label.Width},
          {"height", label.Height},
          {"caption", label.Caption},
          {"tag", label.Tag},
          {"foreColor", static_cast<qint64>(label.ForeColor)},
          {"backColor", static_cast<qint64>(label.BackColor)},
          {"backStyle", label.BackStyle},
          {"bold", label.bold}};
}

// What the skin shows: the window's rounded outline, and the colour of its
// left edge half-way down, where the skin draws its frame (the design's
// background colour when nothing draws there). The pixel is read only once
// the window is shown: rendering a window not yet shown makes its native
// window early, and the window system then treats the window otherwise (it
// did not get the keyboard focus without a window manager), so before that
// the colour is empty.
QJsonObject describeFrame(FormMain& form) {
  const QRegion outline = form.mask();
  QString edgeColour;
  if (form.isVisible()) {
    const QRect edge(0, form.height() / 2, 1, 1);
    edgeColour = form.grab(edge).toImage().pixelColor(0, 0).name();
  }
  return {{"rounded", !outline.isEmpty() && !outline.contains(QPoint(0, 0))},
          {"edgeColor", edgeColour}};
}

// One value as compact JSON text.
QByteArray compact(const QJsonValue& value) {
  const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
  return array.mid(1, array.size() - 2);
}

QByteArray member(const char* key, const QJsonValue& value) {
  return '"' + QByteArray(key) + "\":" + compact(value);
}

// The document up to the end of the design's controls, whose array the
// labels continue: {"window":…,…,"controls":[…design's controls…
QByteArray snapshotHead(FormMain& form) {
  QJsonArray controls;
  for (const auto& [name, control] : form.controls()) controls.append(describe(name, *control));
  const QJsonObject window{{"caption", form.windowTitle()},
                           {"width", ModAPI::PixelsToTwips(form.width())},
                           {"height", ModAPI::PixelsToTwips(form.height())},
                           {"visible", form.isVisible()}};
  const QJsonObject queryStatus{{"caption", form.queryStatus->text()},
                                {"visible", !form.queryStatus->isHidden()},
                                {"accessibleName", form.queryStatus->accessibleName()}};
  QByteArray head = '{' + member("window", window) + ',' +
                    member("SelectedCourierIndex", form.selection().SelectedCourierIndex()) + ',' +
                    member("StartupArgument", form.selection().StartupArgument()) + ',' +
                    member("queryStatus", queryStatus) + ',' +
                    member("frame", describeFrame(form)) + ',' + member("controls", controls);
  head.chop(1);  // the closing bracket
  return head;
}

// The labels as items of the controls array, each after a comma.
QByteArray labelItems(const Module1::CourierLabels& labels) {
  QByteArray items;
  for (const Module1::CourierEntry& label : labels.all()) items += ',' + compact(describe(label));
  return items;
}

QByteArray snapshot(const QByteArray& head, const QByteArray& labels) {
  return head + labels + "]}";
}

}  // namespace

QByteArray snapshotJson(FormMain& form) {
  return snapshot(snapshotHead(form), labelItems(form.BG->labels()));
}

StateSnapshot* StateSnapshot::startFromEnvironment(FormMain& form) {
  const QString path = qEnvironmentVariable("COURIER_QUERY_STATE_FILE");
  return path.isEmpty() ? nullptr : new StateSnapshot(form, path);
}

StateSnapshot::StateSnapshot(FormMain& form, QString path)
    : QObject(&form), form_(form), path_(std::move(path)) {
  connect(&poll_, &QTimer::timeout, this, &StateSnapshot::writeIfChanged);
  poll_.start(kPollMilliseconds);
}

// QSaveFile writes a temporary file beside the target and renames it over the
// target on commit, so a reader never sees half a snapshot.
void StateSnapshot::writeIfChanged() {
  const Module1::CourierLabels& labels = form_.BG->labels();
  const QByteArray head = snapshotHead(form_);
  const bool labelsChanged = !written_ || labels.revision() != lastLabelsRevision_;
  if (!labelsChanged && head == lastHead_) return;
  if (labelsChanged) labels_ = labelItems(labels);
  QSaveFile file(path_);
  if (!file.open(QIODevice::WriteOnly)) return;
  file.write(snapshot(head, labels_));
  if (!file.commit()) return;
  written_ = true;
  lastHead_ = head;
  lastLabelsRevision_ = labels.revision();
}
