#include "ProgramRun.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

ProgramRun::ProgramRun(const QString& folder)
    : environment(QProcessEnvironment::systemEnvironment()),
      stateFile_(QDir(folder).filePath("state.json")),
      shellLog_(QDir(folder).filePath("shell.log")) {
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  environment.insert("COURIER_QUERY_STATE_FILE", stateFile_);
  environment.insert("COURIER_QUERY_SHELL_LOG", shellLog_);
  environment.insert("COURIER_QUERY_HOMEPAGE", kHomePage);
}

ProgramRun::~ProgramRun() {
  if (process.state() == QProcess::NotRunning) return;
  process.kill();
  process.waitForFinished();
}

void ProgramRun::start(const QString& binary, const QStringList& arguments,
                       const QString& workingDir) {
  process.setProcessEnvironment(environment);
  process.setWorkingDirectory(workingDir);
  process.start(binary, arguments);
  ASSERT_TRUE(process.waitForStarted()) << binary.toStdString();
}

QJsonObject ProgramRun::shownState() {
  QJsonObject state;
  const bool shown = QTest::qWaitFor(
      [&] {
        QFile file(stateFile_);
        if (!file.open(QIODevice::ReadOnly)) return false;
        state = QJsonDocument::fromJson(file.readAll()).object();
        return state["window"].toObject()["visible"].toBool();
      },
      kStartTimeoutMs);
  EXPECT_TRUE(shown) << "no snapshot of a shown window; the program said: "
                     << process.readAllStandardError().toStdString();
  return shown ? state : QJsonObject();
}

QJsonObject control(const QJsonObject& state, const QString& name, int index) {
  for (const auto& value : state["controls"].toArray()) {
    const QJsonObject c = value.toObject();
    if (c["name"].toString() == name && (index < 0 || c["index"].toInt() == index)) return c;
  }
  ADD_FAILURE() << "no control " << name.toStdString();
  return {};
}
