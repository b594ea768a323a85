// One run of the built or installed program as a user starts it: on the
// offscreen platform, with the state snapshot and the shell log (in place of
// the message box and the browser) written into a folder of the test's.
#pragma once

#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>

class ProgramRun {
 public:
  static constexpr int kStartTimeoutMs = 20000;
  static inline const QString kHomePage = QStringLiteral("http://home.test/start");

  // `folder` receives the snapshot and the shell log.
  explicit ProgramRun(const QString& folder);
  // Kills the program if it still runs.
  ~ProgramRun();
  ProgramRun(const ProgramRun&) = delete;
  ProgramRun& operator=(const ProgramRun&) = delete;

  // Starts `binary` with `arguments` in `workingDir` (the test's own when
  // empty); records a test failure when it does not start.
  void start(const QString& binary, const QStringList& arguments = {},
             const QString& workingDir = {});

  // The snapshot once the window is shown; empty, with a test failure
  // recorded, when no shown window appears in time.
  QJsonObject shownState();

  QString stateFile() const { return stateFile_; }
  QString shellLog() const { return shellLog_; }

  // The program's environment: the test's own, with the offscreen platform,
  // the snapshot, the shell log and the test's home page. A test may change
  // it before start().
  QProcessEnvironment environment;
  QProcess process;

 private:
  QString stateFile_;
  QString shellLog_;
};

// The control `name` (with `index`, for label group members) in a snapshot;
// records a test failure and returns an empty object when there is none.
QJsonObject control(const QJsonObject& state, const QString& name, int index = -1);
