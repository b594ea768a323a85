#include "AccessibleControls.h"
#include "Arguments.h"
#include "Design.h"
#include "DesktopShell.h"
#include "FirstFrame.h"
#include "FormMain.h"
#include "LookupProgram.h"
#include "StateSnapshot.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char* argv[]) {
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments += QString::fromLocal8Bit(argv[i]);
  const Arguments::Request request = Arguments::Parse(arguments);
  if (request.mode != Arguments::Mode::Window) return LookupProgram::Run(request, argv[0]);

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("快递单号查询"));
  // Lets the desktop match the window to its menu entry and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral(COURIER_QUERY_APP_ID));
  ModAPI::InstallFontSubstitutes();
  ModAPI::InstallDesktopShell();
  ModAPI::InstallChineseToolkitTexts();
  // Before the window exists: a screen reader may ask for it as it is made.
  InstallAccessibleControls();

  FormMain form;
  if (!form.Form_Load()) return Module1::kMissingCatalogueExitStatus;
  StateSnapshot* snapshot = StateSnapshot::startFromEnvironment(form);
  if (snapshot) snapshot->writeIfChanged();

  form.move(form.screen()->geometry().center() - form.rect().center());
  // Added after the window's own wait for its first frame (the browser
  // engine's start), so the report comes first.
  ModAPI::ReportFirstFrameIfAsked(&form);
  form.show();
  return app.exec();
}
