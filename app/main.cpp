#include "AccessibleControls.h"
#include "Arguments.h"
#include "CannotRun.h"
#include "Design.h"
#include "DesktopShell.h"
#include "Diagnostics.h"
#include "EngineEnvironment.h"
#include "FirstFrame.h"
#include "FormMain.h"
#include "LookupProgram.h"
#include "Shell.h"
#include "StateSnapshot.h"

#include <QApplication>
#include <QScreen>

#include <memory>

namespace {

// Without a display the toolkit cannot make the application and aborts with
// a message for developers; the user is told in plain words instead.
std::unique_ptr<QApplication> startApplication(int& argc, char** argv) {
  const ModAPI::FatalErrorExplained noDisplay(CannotRun::line(CannotRun::noDisplay()),
                                              CannotRun::kExitStatus);
  return std::make_unique<QApplication>(argc, argv);
}

}  // namespace

int main(int argc, char* argv[]) {
  ModAPI::InstallQuietDiagnostics();
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments += QString::fromLocal8Bit(argv[i]);
  const Arguments::Request request = Arguments::parse(arguments);
  if (request.mode != Arguments::Mode::Window) return LookupProgram::run(request, argv[0]);

  const std::unique_ptr<QApplication> app = startApplication(argc, argv);
  QApplication::setApplicationName(QStringLiteral("快递单号查询"));
  // Lets the desktop match the window to its menu entry and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral(COURIER_QUERY_APP_ID));
  ModAPI::InstallFontSubstitutes();
  ModAPI::InstallDesktopShell();
  ModAPI::InstallChineseToolkitTexts();
  // Before the window exists: a screen reader may ask for it as it is made.
  installAccessibleControls();
  // Refused before the window shows, rather than have the engine end the
  // program with a line in English once it starts.
  if (ModAPI::EngineRefusesToStart()) {
    CannotRun::report(CannotRun::asRootWithSandbox());
    ModAPI::MsgBox(ModAPI::AppTitle(), CannotRun::asRootWithSandbox());
    return CannotRun::kExitStatus;
  }

  FormMain form;
  if (!form.Form_Load()) return Module1::kMissingCatalogueExitStatus;
  StateSnapshot* snapshot = StateSnapshot::startFromEnvironment(form);
  if (snapshot) snapshot->writeIfChanged();

  form.move(form.screen()->geometry().center() - form.rect().center());
  // Added after the window's own wait for its first frame (the browser
  // engine's start), so the report comes first.
  ModAPI::ReportFirstFrameIfAsked(&form);
  form.show();
  return app->exec();
}
