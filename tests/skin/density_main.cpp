// The density tests run on three offscreen screens of 1, 1.5 and 2 pixels to
// the logical pixel (screens.json), so that one process has windows of each.
#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" CQ_DENSITY_SCREENS);
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
