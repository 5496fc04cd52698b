#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

namespace {

struct Result {
  int status;
  QString out;
  QString err;
};

Result RunScript(const QTemporaryDir& folder, const QString& script) {
  QFile file(folder.filePath("script.txt"));
  file.open(QIODevice::WriteOnly);
  file.write(script.toUtf8());
  file.close();
  QProcess process;
  process.setWorkingDirectory(folder.path());
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove("DISPLAY");
  environment.remove("QT_QPA_PLATFORM");
  process.setProcessEnvironment(environment);
  process.start(GRIDORA_EXECUTABLE, {"--batch", "script.txt", "--profile", folder.filePath("profile.ini")});
  process.waitForFinished(60000);
  return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
          QString::fromUtf8(process.readAllStandardError())};
}

TEST(BatchExecutable, RendersWithoutADisplay) {
  QTemporaryDir folder;
  const Result result = RunScript(folder, "zoom-x-in\nrender view.png width=320 height=200\ncopy copy.svg\n");
  EXPECT_EQ(result.status, 0) << result.err.toStdString();
  QImage image(folder.filePath("view.png"));
  EXPECT_EQ(image.size(), QSize(320, 200));
  EXPECT_TRUE(QFile::exists(folder.filePath("copy.svg")));
  QFile profile(folder.filePath("profile.ini"));
  ASSERT_TRUE(profile.open(QIODevice::ReadOnly));
  EXPECT_TRUE(profile.readAll().contains("ScaleX=1.414214"));
}

TEST(BatchExecutable, StopsAtTheFirstBadLine) {
  QTemporaryDir folder;
  const Result result = RunScript(folder, "zoom-x-in\nno-such-command\nrender never.png\n");
  EXPECT_EQ(result.status, 2);
  EXPECT_TRUE(result.err.contains("script.txt:2:")) << result.err.toStdString();
  EXPECT_EQ(result.err.count('\n'), 1) << result.err.toStdString();
  EXPECT_FALSE(QFile::exists(folder.filePath("never.png")));
}

}  // namespace
