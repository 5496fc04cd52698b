// The executable's subcommands start no toolkit: they run with no display and with a
// platform plugin that does not exist (which would stop any Qt GUI start-up).
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

struct Result {
  int status;
  QString out;
  QString err;
};

Result RunGridora(const QTemporaryDir& folder, const QStringList& args) {
  QProcess process;
  process.setWorkingDirectory(folder.path());
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove("DISPLAY");
  environment.remove("WAYLAND_DISPLAY");
  environment.insert("QT_QPA_PLATFORM", "no-such-platform");
  process.setProcessEnvironment(environment);
  process.start(GRIDORA_EXECUTABLE, args);
  process.waitForFinished(60000);
  return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
          QString::fromUtf8(process.readAllStandardError())};
}

TEST(SubcommandExecutable, GridsContoursAndDescribesWithoutAToolkit) {
  QTemporaryDir folder;
  const QString samples = GRIDORA_SOURCE_DIR "/examples/volcano_samples.xyz";
  Result r = RunGridora(
      folder, {"grid", samples, "-o", "v.tif", "--spacing", "20", "--method", "kriging", "--error", "v_se.tif"});
  ASSERT_EQ(r.status, 0) << r.err.toStdString();
  EXPECT_TRUE(r.err.isEmpty()) << "no bar of progress when standard error is no terminal: " << r.err.toStdString();
  EXPECT_TRUE(QFile::exists(folder.filePath("v.tif")));
  EXPECT_TRUE(QFile::exists(folder.filePath("v_se.tif")));
  r = RunGridora(folder, {"contour", "v.tif", "-o", "v.geojson", "--interval", "20"});
  EXPECT_EQ(r.status, 0) << r.err.toStdString();
  r = RunGridora(folder, {"info", "v_se.tif", "--json"});
  EXPECT_EQ(r.status, 0) << r.err.toStdString();
  EXPECT_TRUE(r.out.startsWith("{\"file\": \"v_se.tif\", \"kind\": \"grid\"")) << r.out.toStdString();
}

TEST(SubcommandExecutable, ABadCallExitsTwoWithOneLine) {
  QTemporaryDir folder;
  const Result r = RunGridora(folder, {"grid", "missing.xyz", "-o", "out.tif"});
  EXPECT_EQ(r.status, 2);
  EXPECT_TRUE(r.err.startsWith("gridora grid: missing.xyz: ")) << r.err.toStdString();
  EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
  EXPECT_TRUE(r.out.isEmpty());
  EXPECT_FALSE(QFile::exists(folder.filePath("out.tif")));
}

}  // namespace
