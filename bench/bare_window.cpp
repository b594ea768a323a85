// bare-window: the least a Qt Widgets program does to show a 600 x 500
// window, the baseline of the start-up benchmark. It reports its first frame
// exactly as courier-query does.
#include "FirstFrame.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.resize(600, 500);
  ModAPI::ReportFirstFrameIfAsked(&window);
  window.show();
  return app.exec();
}
