// The engine tests need an application object for widgets and painting.
#include "AccessibleWindow.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  // As the program does at its start: a window whose interface was made
  // before would keep reading as a plain widget.
  ModAPI::InstallAccessibleWindows();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
