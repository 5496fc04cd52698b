#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <functional>

namespace {

struct Result {
  int status;
  QString out;
  QString err;
};

Result RunScript(const QTemporaryDir& folder, const QString& script,
                 const std::function<void(QProcessEnvironment&)>& adjust = {}) {
  QFile file(folder.filePath("script.txt"));
  file.open(QIODevice::WriteOnly);
  file.write(script.toUtf8());
  file.close();
  QProcess process;
  process.setWorkingDirectory(folder.path());
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove("DISPLAY");
  environment.remove("QT_QPA_PLATFORM");
  if (adjust) adjust(environment);
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

TEST(BatchExecutable, DrawingWritersSayWhyTheyCannotWrite) {
  struct Case {
    const char* script;
    const char* readOnlyFile;  // made beforehand, mode 444
    const char* message;
  } cases[] = {
      {"render big.png width=20000 height=20000\n", nullptr,
       "Cannot write big.png: an image of 20000 x 20000 pixels is larger than the limit of 100 million pixels.\n"},
      {"render view.png width=64 height=48\n", "view.png", "Cannot write view.png: the file is read-only\n"},
      {"print page.pdf\n", "page.pdf", "Cannot write page.pdf: the file is read-only\n"},
      {"copy missing/copy.svg\n", nullptr, "Cannot write missing/copy.svg: No such file or directory\n"},
  };
  for (const auto& c : cases) {
    QTemporaryDir folder;
    if (c.readOnlyFile) {
      QFile file(folder.filePath(c.readOnlyFile));
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
      file.write("mine");
      file.close();
      ::chmod(folder.filePath(c.readOnlyFile).toLocal8Bit().constData(), 0444);
    }
    const Result result = RunScript(folder, c.script);
    EXPECT_EQ(result.status, 2) << c.script;
    EXPECT_EQ(result.out.toStdString(), c.message);
    EXPECT_EQ(result.err.count('\n'), 1) << result.err.toStdString();  // the runner's line, no painter warnings
    if (c.readOnlyFile) {
      QFile file(folder.filePath(c.readOnlyFile));
      ASSERT_TRUE(file.open(QIODevice::ReadOnly));
      EXPECT_EQ(file.readAll(), QByteArray("mine"));
    }
  }
}

TEST(BatchExecutable, AScriptThatIsAFolderFailsAndNoRuntimeFolderIsLeft) {
  QTemporaryDir folder, temporary;
  const auto withOwnTemporary = [&](QProcessEnvironment& environment) {
    environment.remove("XDG_RUNTIME_DIR");
    environment.insert("TMPDIR", temporary.path());
  };
  QDir(folder.path()).mkdir("scripts");
  QProcess process;
  process.setWorkingDirectory(folder.path());
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  withOwnTemporary(environment);
  process.setProcessEnvironment(environment);
  process.start(GRIDORA_EXECUTABLE, {"--batch", "scripts", "--profile", folder.filePath("profile.ini")});
  ASSERT_TRUE(process.waitForFinished(60000));
  EXPECT_EQ(process.exitCode(), 2);
  EXPECT_EQ(QString::fromUtf8(process.readAllStandardError()).toStdString(),
            "scripts: cannot read the batch script: it is a folder\n");
  const Result ran = RunScript(folder, "zoom-x-in\n", withOwnTemporary);
  EXPECT_EQ(ran.status, 0) << ran.err.toStdString();
  EXPECT_TRUE(QDir(temporary.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
}

}  // namespace
