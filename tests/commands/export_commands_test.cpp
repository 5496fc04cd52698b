#include <gtest/gtest.h>

#include <sstream>

#include "batch/batch_runner.h"
#include "batch/batch_view_host.h"
#include "batch/scripted_user_interface.h"
#include "commands/command_ids.h"
#include "dialogs/dialogs.h"
#include "support/current_folder.h"
#include "support/test_support.h"
#include "support/xml_reading.h"

namespace gridora {
namespace {

// A 3 x 2 grid whose data folder is a fresh temporary folder.
struct ResultsFixture : test::DocumentFixture {
  test::TempFolder folder;

  ResultsFixture() {
    EXPECT_TRUE(doc->grid->Reshape(1, 3, 2));
    for (int ix = 0; ix < 3; ++ix)
      for (int iy = 0; iy < 2; ++iy) doc->grid->Value(0, ix, iy) = 10.0f;
    doc->grid->xLastDrawn = 2.0f;
    doc->dataFolder = folder.Path().string();
  }

  // Answers the next "Float data" dialog (OK with `text`, or as proposed, or Cancel);
  // records its prompt and proposed value.
  void Answer(std::optional<std::string> text, bool ok = true) {
    ui.dialogHandlers.push_back([this, text, ok](DialogData& dialog) {
      auto& input = dynamic_cast<FloatDialog&>(dialog);
      prompts.push_back(input.prompt);
      proposed.push_back(input.value);
      return ok && (!text || test::SetField(dialog, input.valueKey, *text));
    });
  }
  void Cancel() { Answer(std::nullopt, false); }

  std::vector<std::string> prompts;
  std::vector<float> proposed;
};

TEST(ExportCommands, EnabledOnceTheGridHasNodes) {
  test::DocumentFixture f;
  for (int id : {ID_SAVE_CSV, ID_STATISTICS, ID_AVERAGE_X}) EXPECT_FALSE(f.State(id).enabled) << id;
  ASSERT_TRUE(f.doc->grid->Reshape(1, 1, 1));
  for (int id : {ID_SAVE_CSV, ID_STATISTICS, ID_AVERAGE_X}) EXPECT_TRUE(f.State(id).enabled) << id;
  EXPECT_EQ(f.table.Route(ID_SAVE_STANDARD_XML)->owner, CommandOwner::Document);
  EXPECT_EQ(f.table.Route(ID_STATISTICS)->owner, CommandOwner::View);
}

TEST(ExportCommands, StatisticsAsksBothLimitsAndRemembersThem) {
  ResultsFixture f;
  f.Answer(std::nullopt);
  f.Answer("50");
  ASSERT_EQ(f.Run(ID_STATISTICS), CommandStatus::Done);
  EXPECT_EQ(f.prompts, (std::vector<std::string>{"Minimum value", "Maximum value"}));
  EXPECT_EQ(f.proposed, (std::vector<float>{0.0f, 100.0f}));
  EXPECT_EQ(f.ui.dialogTitles, (std::vector<std::string>{"Float data", "Float data"}));
  EXPECT_EQ(f.profile.Raw("General", "statistics_fmin"), "0.000000");
  EXPECT_EQ(f.profile.Raw("General", "statistics_fmax"), "50.000000");
  const std::string path = (f.folder / "data_statistics.txt").string();
  EXPECT_EQ(f.ui.messages, std::vector<std::string>{"Data statistics was saved in " + path});
  EXPECT_EQ(test::ReadFileBytes(path).rfind("0 0.000000 1.000000 1.000000 1.000000 0.000000 100.000000 100.000000", 0),
            0u);

  // The next run proposes the remembered limits; Cancel at the second ends it.
  ResultsFixture g;
  g.profile.WriteText("General", "statistics_fmax", "50.000000");
  g.Answer("3");
  g.Cancel();
  EXPECT_EQ(g.Run(ID_STATISTICS), CommandStatus::Canceled);
  EXPECT_EQ(g.proposed, (std::vector<float>{0.0f, 50.0f}));
  EXPECT_FALSE(g.profile.Has("General", "statistics_fmin"));
  EXPECT_FALSE(std::filesystem::exists(g.folder / "data_statistics.txt"));
}

TEST(ExportCommands, AverageProposesTheOriginAndTenSpacings) {
  ResultsFixture f;
  f.doc->grid->x0 = 0.0f;
  f.doc->grid->DX = 0.1f;
  f.Answer(std::nullopt);
  f.Answer("1");
  ASSERT_EQ(f.Run(ID_AVERAGE_X), CommandStatus::Done);
  EXPECT_EQ(f.prompts, (std::vector<std::string>{"X min.", "X int."}));
  EXPECT_EQ(f.proposed[1], static_cast<float>(static_cast<double>(0.1f) * 10.0));
  EXPECT_EQ(f.profile.Raw("General", "DATA_AVERAGE_X_INT"), "1.000000");
  EXPECT_EQ(f.ui.messages, std::vector<std::string>{"3 data was saved."});
}

TEST(ExportCommands, FailedWritesSayWhyAndFail) {
  ResultsFixture f;
  test::WriteFileBytes(f.folder / "plain", "x");
  f.doc->dataFolder = (f.folder / "plain").string();
  f.Answer(std::nullopt);
  f.Answer(std::nullopt);
  EXPECT_EQ(f.Run(ID_STATISTICS), CommandStatus::Failed);
  f.Answer(std::nullopt);
  f.Answer(std::nullopt);
  EXPECT_EQ(f.Run(ID_AVERAGE_X), CommandStatus::Failed);
  f.ui.files.push_back((f.folder / "plain" / "grid.csv").string());
  EXPECT_EQ(f.Run(ID_SAVE_CSV), CommandStatus::Failed);
  ASSERT_EQ(f.ui.messages.size(), 3u);
  for (const std::string& message : f.ui.messages)
    EXPECT_EQ(message.rfind("Cannot write the file " + f.doc->dataFolder, 0), 0u) << message;
}

TEST(ExportCommands, SaveCsvUsesTheChosenNameAsItIs) {
  ResultsFixture f;
  const auto path = f.folder / "grid";
  f.ui.files.push_back(path.string());
  ASSERT_EQ(f.Run(ID_SAVE_CSV), CommandStatus::Done);
  EXPECT_TRUE(f.ui.messages.empty());
  EXPECT_EQ(f.ui.filters[0].description, "CSV file(*.csv)");
  EXPECT_EQ(f.ui.filters[0].pattern, "*.csv");
  EXPECT_EQ(test::ReadFileBytes(path).rfind("0,0.000000,10.000000,10.000000\r\n1,1.000000,1", 0), 0u);
}

TEST(ExportCommands, BatchCommandsWriteEveryResult) {
  test::InTempFolder here;  // the painting before average-x leaves its logs here
  const test::TempFolder& folder = here.folder();
  MemoryProfile profile;
  Document doc(profile);
  ASSERT_TRUE(doc.grid->Reshape(1, 3, 2));
  for (int ix = 0; ix < 3; ++ix)
    for (int iy = 0; iy < 2; ++iy) doc.grid->Value(0, ix, iy) = 1.0f + ix;
  doc.grid->xLastDrawn = 2.0f;
  doc.dataFolder = folder.Path().string();
  std::ostringstream out, err;
  ScriptedUserInterface ui(out);
  BatchViewHost view(ui);
  const auto script = folder / "script.txt";
  const auto xml = folder / "out.xml";
  test::WriteFileBytes(script, "save-xml \"" + xml.string() +
                                   "\" answer=no\n"
                                   "statistics min=1 max=10\n"
                                   "average-x xmin=0 xint=1\n"
                                   "statistics cancel=yes\n"
                                   "save-csv \"" +
                                   (folder / "out.csv").string() + "\"\n");
  EXPECT_EQ(RunBatchScript(script.string(), doc, profile, ui, view, err), 0) << err.str();
  EXPECT_EQ(out.str(), "Save Japanese XML file?\nData statistics was saved in " +
                           (folder / "data_statistics.txt").string() + "\n3 data was saved.\n");
  EXPECT_EQ(profile.ReadInt("General", "bJapaneseXML", -1), 0);
  test::XmlFile parsed(xml);
  ASSERT_NE(parsed.doc, nullptr) << parsed.error;
  EXPECT_EQ(test::Name(parsed.Root()), "geophysical_sections");
  EXPECT_TRUE(std::filesystem::exists(folder / "average_x.csv"));
  EXPECT_TRUE(std::filesystem::exists(folder / "out.csv"));

  // A write that fails ends the script with status 2 after its message.
  std::ostringstream out2, err2;
  ScriptedUserInterface ui2(out2);
  BatchViewHost view2(ui2);
  test::WriteFileBytes(script, "save-csv \"" + (script / "x.csv").string() + "\"\nstatistics\n");
  EXPECT_EQ(RunBatchScript(script.string(), doc, profile, ui2, view2, err2), 2);
  EXPECT_NE(out2.str().find("Cannot write the file"), std::string::npos);
  EXPECT_NE(err2.str().find("script.txt:1:"), std::string::npos) << err2.str();
}

TEST(ExportCommands, CsvExportReadsBackThroughOpenTransposedWithTwoColumnsSkipped) {
  test::TempFolder folder;
  MemoryProfile profile;
  Document doc(profile);
  ASSERT_TRUE(doc.grid->Reshape(1, 4, 3));
  doc.grid->DX = 0.5f;
  doc.grid->x0 = -2.0f;
  for (int ix = 0; ix < 4; ++ix)
    for (int iy = 0; iy < 3; ++iy) doc.grid->Value(0, ix, iy) = 1.25f * ix - 2.0f * iy + 0.001f;
  const std::vector<float> exported = doc.grid->values;
  std::ostringstream out, err;
  ScriptedUserInterface ui(out);
  BatchViewHost view(ui);
  const auto script = folder / "script.txt";
  const std::string csv = (folder / "grid.csv").string();
  test::WriteFileBytes(script, "save-csv \"" + csv + "\"\nopen \"" + csv + "\" colskip=2 transpose=1\n");
  ASSERT_EQ(RunBatchScript(script.string(), doc, profile, ui, view, err), 0) << err.str() << out.str();
  EXPECT_EQ(doc.grid->NX, 4);
  EXPECT_EQ(doc.grid->NY, 3);
  EXPECT_EQ(doc.grid->values, exported);
}

}  // namespace
}  // namespace gridora
