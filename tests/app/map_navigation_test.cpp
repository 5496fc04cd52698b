// The map in the real window: the wheel zooms both axes about the cursor, the status
// bar reads x, y, value and standard error under it, Fit to window undoes the zoom, and
// the menus without an Alt letter in their titles open with Alt and a letter.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSettings>
#include <QWheelEvent>

#include "commands/command_ids.h"
#include "main_window.h"
#include "map_view.h"
#include "qt_profile.h"
#include "view/document.h"

namespace gridora {
namespace {

class MapNavigation : public ::testing::Test {
 protected:
  void SetUp() override {
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, "Quarvex Applications", "Gridora");
    settings.clear();
    settings.sync();
  }
};

// An 11 x 11 grid over 0..100 with value x + y and standard error y / 10.
void MakeGrid(Document& doc) {
  GridModel& g = *doc.grid;
  g.x0 = g.y0 = 0;
  g.DX = g.DY = 10;
  ASSERT_TRUE(g.Reshape(2, 11, 11));
  for (int ix = 0; ix < 11; ++ix)
    for (int iy = 0; iy < 11; ++iy) {
      g.Value(0, ix, iy) = static_cast<float>(10 * ix + 10 * iy);
      g.Value(1, ix, iy) = static_cast<float>(iy);
    }
  g.ComputeLayerRange(0);
  g.ComputeLayerRange(1);
}

void Paint(MainWindow& frame) {
  frame.View()->viewport()->repaint();
  QApplication::processEvents();
}

TEST_F(MapNavigation, WheelZoomsAboutTheCursorAndTheStatusBarReadsTheNode) {
  QtProfile profile;
  Document doc(profile);
  MakeGrid(doc);
  MainWindow frame(doc, profile);
  frame.resize(900, 700);
  frame.show();
  frame.FitToWindow();
  Paint(frame);
  const float fitted = doc.grid->scaleX;
  ASSERT_GT(fitted, 0.0f);

  MapView* view = frame.View();
  auto* readout = frame.findChild<QLabel*>("Readout");
  ASSERT_TRUE(readout);
  // The pixel of map position (50, 50): the centre node, value 100, error 5.
  const double ppu = view->PixelsPerUnitX();
  const QPointF centre(
      (doc.marginLeft + (50 - doc.grid->xStart) * doc.grid->scaleX) * ppu - view->horizontalScrollBar()->value(),
      (doc.marginTop + (doc.grid->yEnd - 50) * doc.grid->scaleY) * view->PixelsPerUnitY() -
          view->verticalScrollBar()->value());
  QMouseEvent move(QEvent::MouseMove, centre, view->viewport()->mapToGlobal(centre), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QApplication::sendEvent(view->viewport(), &move);
  // Within a pixel of (50, 50).
  const QRegularExpressionMatch xy = QRegularExpression("^x = (\\S+)  y = (\\S+)").match(readout->text());
  ASSERT_TRUE(xy.hasMatch()) << readout->text().toStdString();
  const double pixel = 1.0 / (doc.grid->scaleX * ppu);
  EXPECT_NEAR(xy.captured(1).toDouble(), 50.0, pixel);
  EXPECT_NEAR(xy.captured(2).toDouble(), 50.0, pixel);
  EXPECT_TRUE(readout->text().contains("value = 100")) << readout->text().toStdString();
  EXPECT_TRUE(readout->text().contains("standard error = 5")) << readout->text().toStdString();

  // Two notches in: both scales by 1.25 squared, the centre node still under the cursor.
  QWheelEvent wheel(centre, view->viewport()->mapToGlobal(centre), QPoint(), QPoint(0, 240), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(view->viewport(), &wheel);
  Paint(frame);
  EXPECT_NEAR(doc.grid->scaleX, fitted * 1.5625f, fitted * 1e-5f);
  EXPECT_FLOAT_EQ(doc.grid->scaleY, doc.grid->scaleX);
  QApplication::sendEvent(view->viewport(), &move);
  EXPECT_TRUE(readout->text().contains("value = 100")) << readout->text().toStdString();

  frame.RunCommand(ID_FIT_TO_WINDOW);
  Paint(frame);
  EXPECT_FLOAT_EQ(doc.grid->scaleX, fitted);
  EXPECT_FALSE(doc.modified);  // looking around changes nothing to save
}

TEST_F(MapNavigation, MenusWithoutAnAltLetterOpenWithOne) {
  QtProfile profile;
  Document doc(profile);
  MainWindow frame(doc, profile);
  QStringList keys;
  for (QAction* action : frame.MenuShortcuts()) keys << action->shortcut().toString(QKeySequence::PortableText);
  EXPECT_EQ(keys, (QStringList{"Alt+D", "Alt+I"}));
}

}  // namespace
}  // namespace gridora
