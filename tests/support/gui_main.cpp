// GoogleTest entry point for widget tests; they run on the offscreen platform.
#include "Design.h"

#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ModAPI::InstallFontSubstitutes();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
