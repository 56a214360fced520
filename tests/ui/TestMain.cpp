// SPDX-License-Identifier: GPL-3.0-or-later
// The window tests run inside one QApplication, on the offscreen platform unless told otherwise.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  QApplication::setApplicationName("Lindora");
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
