// "Save changes?" before work could be lost: New, Open and closing the window ask when
// the document has unsaved changes, and Yes, No and Cancel do what they say.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QSettings>
#include <QTimer>
#include <filesystem>

#include "commands/command_ids.h"
#include "history/document_history.h"
#include "main_window.h"
#include "qt_profile.h"
#include "support/test_support.h"
#include "view/document.h"

namespace gridora {
namespace {

// Answers the next modal message box with `button` and keeps its text.
void AnswerNextBox(QMessageBox::StandardButton button, QString* text) {
  QTimer::singleShot(0, [button, text] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return AnswerNextBox(button, text);
    if (text) *text = box->text();
    box->button(button)->click();
  });
}

class SavePrompt : public ::testing::Test {
 protected:
  void SetUp() override {
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, "Quarvex Applications", "Gridora");
    settings.clear();
    settings.sync();
  }

  // A document with points and unsaved changes, named after a file in the folder.
  void Modify(Document& doc) {
    doc.primaryData->count = 3;
    for (int i = 0; i < 3; ++i) doc.primaryData->points[i] = {double(i), double(2 * i), double(i * i)};
    doc.primaryData->xMaximum = 2;
    doc.primaryData->yMaximum = 4;
    doc.primaryData->zMaximum = 4;
    doc.pathName = (folder.Path() / "wells.snp").string();
    doc.modified = true;
  }

  test::TempFolder folder;
};

TEST_F(SavePrompt, NewAsksAndAnswersDecide) {
  struct Case {
    QMessageBox::StandardButton answer;
    int pointsAfter;
    bool saved;
  } cases[] = {
      {QMessageBox::Cancel, 3, false},
      {QMessageBox::No, 0, false},
      {QMessageBox::Yes, 0, true},
  };
  for (const auto& c : cases) {
    QtProfile profile;
    Document doc(profile);
    MainWindow frame(doc, profile);
    Modify(doc);
    std::filesystem::remove(doc.pathName);
    const std::string path = doc.pathName;
    QString text;
    AnswerNextBox(c.answer, &text);
    frame.RunCommand(ID_FILE_NEW);
    EXPECT_EQ(text, "Save changes?") << c.answer;
    EXPECT_EQ(doc.primaryData->count, c.pointsAfter) << c.answer;
    EXPECT_EQ(std::filesystem::exists(path), c.saved) << c.answer;
    EXPECT_EQ(doc.modified, c.answer == QMessageBox::Cancel) << c.answer;
    EXPECT_EQ(frame.windowTitle().contains('*'), doc.modified) << frame.windowTitle().toStdString();
  }
}

TEST_F(SavePrompt, AnUnchangedDocumentIsNotAskedAbout) {
  QtProfile profile;
  Document doc(profile);
  MainWindow frame(doc, profile);
  Modify(doc);
  doc.modified = false;
  frame.RunCommand(ID_FILE_NEW);  // a box would wait here for an answer nobody gives
  EXPECT_EQ(doc.primaryData->count, 0);
  EXPECT_EQ(frame.windowTitle(), "Untitled - Gridora");
}

TEST_F(SavePrompt, ClosingTheWindowAsks) {
  for (auto answer : {QMessageBox::Cancel, QMessageBox::No}) {
    QtProfile profile;
    Document doc(profile);
    MainWindow frame(doc, profile);
    frame.show();
    Modify(doc);
    AnswerNextBox(answer, nullptr);
    EXPECT_EQ(frame.close(), answer == QMessageBox::No) << answer;
    EXPECT_EQ(doc.primaryData->count, 3);  // closing never empties the document
  }
}

TEST_F(SavePrompt, CommandsThatChangeTheDocumentMarkTheTitle) {
  QtProfile profile;
  Document doc(profile);
  MainWindow frame(doc, profile);
  EXPECT_EQ(frame.windowTitle(), "Untitled - Gridora");
  frame.RunCommand(ID_COLOR_TARGET);  // a toggle of the colours
  EXPECT_TRUE(doc.modified);
  EXPECT_EQ(frame.windowTitle(), "Untitled* - Gridora");
  EXPECT_TRUE(frame.Action(ID_EDIT_UNDO)->isEnabled());
  EXPECT_FALSE(frame.Action(ID_EDIT_REDO)->isEnabled());
  frame.RunCommand(ID_EDIT_UNDO);
  EXPECT_EQ(doc.grid->reverseColors, 0);
  EXPECT_TRUE(frame.Action(ID_EDIT_REDO)->isEnabled());
  frame.RunCommand(ID_EDIT_REDO);
  EXPECT_EQ(doc.grid->reverseColors, 1);
}

}  // namespace
}  // namespace gridora
