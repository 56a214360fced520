// SPDX-License-Identifier: GPL-3.0-or-later
// The window tests run inside one QApplication, on the offscreen platform unless told otherwise.
#include <gtest/gtest.h>

#include <QApplication>

// Under ThreadSanitizer: Qt and the libraries beneath it are not built with it, so their own
// hand-offs (futexes, the semaphores its image threads wait on) are invisible to it, and the
// allocations and copies they make through its interceptors would look unordered. It judges the
// accesses of this program's own code alone, where the thinker hands its answer over through an
// atomic and a thread join, which it sees.
#ifdef LINDORA_TSAN
extern "C" const char* __tsan_default_options() {
  return "ignore_noninstrumented_modules=1";
}
#endif

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  QApplication::setApplicationName("Lindora");
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
