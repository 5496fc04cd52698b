#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QSet>
#include <QSettings>
#include <QToolBar>

#include "commands/command_ids.h"
#include "main_window.h"
#include "qt_profile.h"
#include "view/document.h"

namespace gridora {
namespace {

// Each test starts from an empty profile file.
class MainFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, "Quarvex Applications", "Gridora");
    settings.clear();
    settings.sync();
  }
};

QStringList Texts(const QList<QAction*>& actions) {
  QStringList texts;
  for (QAction* action : actions) texts << (action->isSeparator() ? "-" : action->text());
  return texts;
}

TEST_F(MainFrameTest, MenusInOrderWithTheirTexts) {
  QtProfile profile;
  Document doc(profile);
  MainWindow frame(doc, profile);
  const QList<QAction*> menus = frame.menuBar()->actions();
  EXPECT_EQ(Texts(menus), (QStringList{"&File", "&View", "&Edit", "Data", "Interpolation", "&Help", "&Grid"}));
  EXPECT_EQ(Texts(menus[6]->menu()->actions()),
            (QStringList{"Grid math with a constant...", "Grid math with a second grid...", "-", "Volume to a level...",
                         "Volume to a lower surface...", "-", "Filter...", "-", "Residuals at the points"}));

  EXPECT_EQ(Texts(menus[1]->menu()->actions()), (QStringList{"&Toolbar",
                                                             "&Status Bar",
                                                             "-",
                                                             "Axis setup",
                                                             "Contour setup",
                                                             "Default contour",
                                                             "Color target",
                                                             "Log",
                                                             "-",
                                                             "Contour",
                                                             "-",
                                                             "Show random data",
                                                             "-",
                                                             "Hide grids away from points",
                                                             "Set up maximum distance to be shown",
                                                             "-",
                                                             "Primary variable",
                                                             "Secondary variable",
                                                             "Cross variance",
                                                             "-",
                                                             "Blank outside the data hull",
                                                             "Contour labels",
                                                             "-",
                                                             "Fit to window",
                                                             "Map st&yle...",
                                                             "-",
                                                             "Point labels"}));
  EXPECT_EQ(Texts(menus[2]->menu()->actions()), (QStringList{"&Undo\tCtrl+Z", "-", "Cu&t\tCtrl+X", "&Copy\tCtrl+C",
                                                             "&Paste\tCtrl+V", "&Redo\tCtrl+Shift+Z"}));
  EXPECT_EQ(Texts(menus[3]->menu()->actions()),
            (QStringList{"-", "Property", "-", "Statistics", "-", "Average (X-direction)", "-", "Import table...",
                         "Merge duplicates...", "Block reduce...", "-", "Points table..."}));
  const QList<QAction*> interpolation = menus[4]->menu()->actions();
  // The options come after the original items.
  EXPECT_EQ(Texts(interpolation), (QStringList{"Ninimum curvature",
                                               "Kriging",
                                               "-",
                                               "Kriging options",
                                               "Cross-validation",
                                               "Standard error",
                                               "Minimum curvature options",
                                               "-",
                                               "Inverse distance...",
                                               "Nearest point...",
                                               "Linear (triangulation)",
                                               "-",
                                               "Faults (breaklines)...",
                                               "Clear faults",
                                               "-",
                                               "Trend surface...",
                                               "Add trend to grid",
                                               "-",
                                               "Directional variograms",
                                               "Variogram map",
                                               "Use the proposed anisotropy",
                                               "Sequential Gaussian simulation",
                                               "-",
                                               "Add drift raster...",
                                               "Clear drift"}));
  EXPECT_EQ(Texts(interpolation[1]->menu()->actions()),
            (QStringList{"Variogram", "Prediction", "-", "Set experimental variogram"}));

  const QStringList file = Texts(menus[0]->menu()->actions());
  EXPECT_EQ(file.mid(0, 9),
            (QStringList{"&New\tCtrl+N", "&Open (.snp or .csv)...\tCtrl+O", "&Save\tCtrl+S", "Save &As...", "-",
                         "Open space delimited random data (X,Y,Z)", "Save standard XML file", "Save CSV file", "-"}));
  // Exit closes the menu, after the items added over time (the first "-" is the recent
  // files' hidden anchor).
  EXPECT_EQ(file.mid(file.indexOf("Recent File") + 1),
            (QStringList{"-", "-", "Export grid...", "Export contours...", "Open raster grid...", "-", "Preferences...",
                         "Export la&yout...", "-", "E&xit"}));
  EXPECT_TRUE(file.contains("Print Pre&view"));
}

TEST_F(MainFrameTest, ToolbarButtonsInOrder) {
  QtProfile profile;
  Document doc(profile);
  MainWindow frame(doc, profile);
  auto* toolbar = frame.findChild<QToolBar*>("Toolbar");
  ASSERT_TRUE(toolbar);
  QList<int> ids;
  for (QAction* action : toolbar->actions()) ids << (action->isSeparator() ? 0 : action->data().toInt());
  EXPECT_EQ(ids, (QList<int>{32804, 57601, 57603, 0,     57635, 57634, 57637, 0,     57607, 57664,
                             32771, 32772, 32773, 32774, 32801, 32802, 32803, 32815, 32816, 32819}));
}

TEST_F(MainFrameTest, ToolbarButtonsHaveImagesSharpAtEveryScaleAndTheirNames) {
  QtProfile profile;
  Document doc(profile);
  MainWindow frame(doc, profile);
  auto* toolbar = frame.findChild<QToolBar*>("Toolbar");
  ASSERT_TRUE(toolbar);
  QSet<qint64> images;
  for (QAction* action : toolbar->actions()) {
    if (action->isSeparator()) continue;
    SCOPED_TRACE(action->data().toInt());
    // Drawn for the size asked, not scaled from a smaller picture.
    for (qreal ratio : {1.0, 2.0}) {
      const QPixmap pixmap = action->icon().pixmap(QSize(17, 17), ratio);
      EXPECT_EQ(pixmap.size(), QSize(17, 17) * ratio);
      const QImage image = pixmap.toImage();
      int drawn = 0;
      for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) drawn += qAlpha(image.pixel(x, y)) > 0;
      EXPECT_GT(drawn, image.width() * image.height() / 6);
      if (ratio == 1.0) images.insert(static_cast<qint64>(qHashBits(image.constBits(), image.sizeInBytes())));
    }
    EXPECT_FALSE(action->toolTip().isEmpty());
    EXPECT_FALSE(action->statusTip().isEmpty());
  }
  EXPECT_EQ(images.size(), 18);  // no two buttons alike
  // The framework's commands keep their own prompts; a button's tooltip says its name
  // and then what it does.
  EXPECT_EQ(frame.Action(ID_FILE_OPEN)->statusTip(), "Open an existing document");
  EXPECT_EQ(frame.Action(ID_FILE_OPEN)->toolTip(), "Open: Open an existing document");
  EXPECT_TRUE(frame.Action(ID_DELETE_ALL)->toolTip().startsWith("Delete all data"));
  EXPECT_EQ(frame.Action(ID_ZOOM_X_IN)->statusTip(), "Zoom in horizontally");
  EXPECT_EQ(frame.Action(ID_CROSS_VARIANCE)->toolTip(), "Cross variance");
}

TEST_F(MainFrameTest, UpdateRulesEnableDisableAndCheck) {
  QtProfile profile;
  Document doc(profile);
  MainWindow frame(doc, profile);
  frame.UpdateCommandStates();
  EXPECT_FALSE(frame.Action(ID_PRIMARY_VARIABLE)->isEnabled());
  EXPECT_TRUE(frame.Action(ID_PRIMARY_VARIABLE)->isChecked());
  EXPECT_FALSE(frame.Action(ID_EDIT_COPY_STANDARD)->isEnabled());  // Ctrl+C does nothing
  EXPECT_FALSE(frame.Action(ID_EDIT_CUT)->isEnabled());
  EXPECT_TRUE(frame.Action(ID_EDIT_COPY)->isEnabled());
  EXPECT_FALSE(frame.Action(ID_AXIS_SETUP)->isEnabled());
  ASSERT_TRUE(doc.grid->Reshape(1, 2, 2));
  frame.UpdateCommandStates();
  EXPECT_TRUE(frame.Action(ID_AXIS_SETUP)->isEnabled());
}

TEST_F(MainFrameTest, PlacementIsClampedAndSavedOnClose) {
  {
    QtProfile profile;
    profile.WriteInt("General", "WindowX", 500);
    profile.WriteInt("General", "WindowW", 300);
    Document doc(profile);
    MainWindow frame(doc, profile);
    EXPECT_EQ(frame.pos().x(), 200);
    EXPECT_EQ(frame.width(), 768);
    EXPECT_EQ(frame.height(), 580);
    frame.show();
    frame.move(1500, 20);
    frame.close();
    EXPECT_EQ(profile.ReadInt("General", "WindowX", 0), 1500);
  }
  QtProfile profile;
  Document doc(profile);
  MainWindow frame(doc, profile);
  EXPECT_EQ(frame.pos().x(), 200);
}

// The frame around the window (title bar, borders) must not be saved as part of the
// size that the next start restores inside it: the window would grow at every start.
TEST_F(MainFrameTest, PlacementSurvivesRestartsUnchanged) {
  QRect first;
  for (int start = 0; start < 3; ++start) {
    QtProfile profile;
    Document doc(profile);
    MainWindow frame(doc, profile);
    frame.show();
    if (start == 0) {
      frame.move(40, 30);
      frame.resize(900, 640);
      first = QRect(frame.pos(), frame.size());
    }
    EXPECT_EQ(QRect(frame.pos(), frame.size()), first) << "start " << start;
    frame.close();
  }
}

TEST_F(MainFrameTest, ProfileFileKeepsGeneralKeysAsText) {
  QtProfile profile;
  Document doc(profile);
  MainWindow frame(doc, profile);
  frame.RunCommand(ID_ZOOM_X_IN);
  frame.RunCommand(ID_ZOOM_X_IN);
  QFile file(profile.FileName());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QString text = QString::fromUtf8(file.readAll());
  EXPECT_TRUE(text.contains("[General]")) << text.toStdString();
  EXPECT_TRUE(text.contains("ScaleX=2.000000")) << text.toStdString();
  EXPECT_TRUE(text.contains("ScaleZ=1.000000")) << text.toStdString();
  EXPECT_FALSE(text.contains("%General"));
}

TEST_F(MainFrameTest, RecentFilesKeepFourNewestFirst) {
  QtProfile profile;
  Document doc(profile);
  MainWindow frame(doc, profile);
  for (const char* name : {"/a.snp", "/b.snp", "/c.snp", "/d.snp", "/e.snp", "/c.snp"}) frame.AddRecentFile(name);
  EXPECT_EQ(profile.ReadText("Recent File List", "File1", ""), "/c.snp");
  EXPECT_EQ(profile.ReadText("Recent File List", "File2", ""), "/e.snp");
  EXPECT_EQ(profile.ReadText("Recent File List", "File4", ""), "/b.snp");
}

}  // namespace
}  // namespace gridora
