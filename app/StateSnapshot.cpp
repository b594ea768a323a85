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
          {"bold", label.Bold}};
}

// What the skin shows: the window's rounded outline, and the colour of its
// left edge half-way down, where the skin draws its frame (the design's
// background colour when nothing draws there).
QJsonObject describeFrame(FormMain& form) {
  const QRegion outline = form.mask();
  const QRect edge(0, form.height() / 2, 1, 1);
  const QColor colour = form.grab(edge).toImage().pixelColor(0, 0);
  return {{"rounded", !outline.isEmpty() && !outline.contains(QPoint(0, 0))},
          {"edgeColor", colour.name()}};
}

}  // namespace

QByteArray SnapshotJson(FormMain& form) {
  QJsonArray controls;
  for (const auto& [name, control] : form.controls()) controls.append(describe(name, *control));
  for (const Module1::CourierEntry& label : form.BG->labels().all())
    controls.append(describe(label));
  const QJsonObject window{{"caption", form.windowTitle()},
                           {"width", ModAPI::PixelsToTwips(form.width())},
                           {"height", ModAPI::PixelsToTwips(form.height())},
                           {"visible", form.isVisible()}};
  const QJsonObject queryStatus{{"caption", form.queryStatus->text()},
                                {"visible", !form.queryStatus->isHidden()},
                                {"accessibleName", form.queryStatus->accessibleName()}};
  const QJsonObject state{{"window", window},
                          {"controls", controls},
                          {"queryStatus", queryStatus},
                          {"SelectedCourierIndex", Module1::SelectedCourierIndex},
                          {"StartupArgument", Module1::StartupArgument},
                          {"frame", describeFrame(form)}};
  return QJsonDocument(state).toJson(QJsonDocument::Compact);
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
  const QByteArray json = SnapshotJson(form_);
  if (json == lastWritten_) return;
  QSaveFile file(path_);
  if (!file.open(QIODevice::WriteOnly)) return;
  file.write(json);
  if (file.commit()) lastWritten_ = json;
}
