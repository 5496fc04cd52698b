// Runs the window tests inside a QApplication with a private settings folder, so that
// no test reads or writes the user's own profile.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStandardPaths>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
  char folder[] = "/tmp/gridora-app-tests-XXXXXX";
  if (!mkdtemp(folder)) return 1;
  setenv("XDG_CONFIG_HOME", folder, 1);
  setenv("XDG_RUNTIME_DIR", folder, 1);
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  std::error_code error;
  std::filesystem::remove_all(folder, error);
  return result;
}
