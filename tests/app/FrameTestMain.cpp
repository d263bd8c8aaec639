// One QApplication, offscreen, with scratch configuration and runtime directories.
#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>

#include "support/ScratchDir.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ScratchDir scratch;
  ::setenv("XDG_CONFIG_HOME", scratch.MakeDir("config").c_str(), 1);
  ::setenv("XDG_RUNTIME_DIR", scratch.Path().c_str(), 1);  // mkdtemp made it private
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
