// Results out: the standard XML file, the statistics, the X-direction averages and the
// CSV export.
#include <fmt/printf.h>

#include <memory>
#include <new>

#include "commands/command_ids.h"
#include "commands/command_modules.h"
#include "commands/command_table.h"
#include "dialogs/dialogs.h"
#include "dialogs/value_rules.h"
#include "formats/average_x.h"
#include "formats/csv_export.h"
#include "formats/data_statistics.h"
#include "formats/finite_values.h"
#include "platform/profile.h"
#include "platform/user_interface.h"
#include "view/document.h"
#include "xml/geo_plot_data.h"
#include "xml/standard_xml_writer.h"

namespace gridora {
namespace {

bool GridLargerThan(const CommandContext& c, int minimum) {
  return c.doc.grid->NX > minimum && c.doc.grid->NY > minimum;
}

// One value through the "Float data" dialog, which refuses what `rule` refuses; false on
// Cancel.
bool AskFloat(CommandContext& c, const std::string& prompt, const std::string& key, FloatRule rule, float& value) {
  FloatDialog dialog;
  dialog.prompt = prompt;
  dialog.value = value;
  dialog.valueKey = key;
  dialog.rule = std::move(rule);
  if (!c.ui.RunDialog(dialog)) return false;
  value = dialog.value;
  return true;
}

// "Save standard XML file": the file, the grid copied into section data with the
// survey metadata from the profile, the language (kept in the profile), then the file.
CommandStatus SaveStandardXml(CommandContext& c) {
  if (auto notFinite = FindNonFiniteGridValue(*c.doc.grid)) {
    c.ui.Message(NonFiniteMessage("the standard XML file", *notFinite));
    return CommandStatus::Failed;
  }
  const auto path = c.ui.SaveFileName("*.xml", {"Standard XML file (*.xml)", "*.xml"});
  if (!path) return CommandStatus::Canceled;
  std::unique_ptr<GeoPlotData> data;
  try {
    data = BuildSectionData(*c.doc.grid, c.profile);
  } catch (const std::bad_alloc&) {
    data.reset();
  }
  if (!data) {
    c.ui.Message("Error in memory data copy !");
    return CommandStatus::Failed;
  }
  const bool japanese = c.ui.Question("Save Japanese XML file?");
  WriteProfileInt(c.profile, "bJapaneseXML", japanese ? 1 : 0);
  std::string problem;
  if (!WriteStandardXml(*path, *data, GetProgramFolder(c.doc.startFolder), japanese, problem)) {
    c.ui.Message(problem);
    return CommandStatus::Failed;
  }
  return CommandStatus::Done;
}

CommandStatus Statistics(CommandContext& c) {
  float fmin = 0.0f, fmax = 100.0f;
  ReadProfileFloat(c.profile, "statistics_fmin", fmin);
  ReadProfileFloat(c.profile, "statistics_fmax", fmax);
  if (!AskFloat(
          c, "Minimum value", "min", [](float v) { return CheckFinite("The minimum value", v); }, fmin))
    return CommandStatus::Canceled;
  const FloatRule notBelowMinimum = [fmin](float v) -> std::optional<std::string> {
    if (auto problem = CheckFinite("The maximum value", v)) return problem;
    if (v >= fmin) return std::nullopt;
    return fmt::sprintf("The maximum value must not be less than the minimum value %g.", static_cast<double>(fmin));
  };
  if (!AskFloat(c, "Maximum value", "max", notBelowMinimum, fmax)) return CommandStatus::Canceled;
  WriteProfileFloat(c.profile, "statistics_fmin", fmin);
  WriteProfileFloat(c.profile, "statistics_fmax", fmax);
  std::string path, problem;
  if (!WriteDataStatistics(*c.doc.grid, c.doc.dataFolder, fmin, fmax, path, problem)) {
    c.ui.Message(problem);
    return CommandStatus::Failed;
  }
  c.ui.Message("Data statistics was saved in " + path);
  return CommandStatus::Done;
}

CommandStatus AverageX(CommandContext& c) {
  const GridModel& grid = *c.doc.grid;
  float xStart = grid.x0;
  float xInterval = static_cast<float>(static_cast<double>(grid.DX) * 10.0);
  ReadProfileFloat(c.profile, "DATA_AVERAGE_X_START", xStart);
  ReadProfileFloat(c.profile, "DATA_AVERAGE_X_INT", xInterval);
  if (!AskFloat(
          c, "X min.", "xmin", [](float v) { return CheckCoordinate("X min.", v); }, xStart))
    return CommandStatus::Canceled;
  // The windows run from X min. to the right edge of the last drawing.
  const FloatRule fewEnoughWindows = [xStart, xEnd = grid.xLastDrawn](float v) -> std::optional<std::string> {
    if (auto problem = CheckPositiveLength("X int.", v)) return problem;
    if (static_cast<double>(xEnd) - xStart <= static_cast<double>(v) * kMaximumAverageWindows) return std::nullopt;
    return fmt::sprintf("X int. %g would make more than %d windows from %g to %g.", static_cast<double>(v),
                        kMaximumAverageWindows, static_cast<double>(xStart), static_cast<double>(xEnd));
  };
  if (!AskFloat(c, "X int.", "xint", fewEnoughWindows, xInterval)) return CommandStatus::Canceled;
  WriteProfileFloat(c.profile, "DATA_AVERAGE_X_START", xStart);
  WriteProfileFloat(c.profile, "DATA_AVERAGE_X_INT", xInterval);
  std::string problem;
  int lines = 0;
  if (!WriteAverageX(grid, c.doc.dataFolder, xStart, xInterval, lines, problem)) {
    c.ui.Message(problem);
    return CommandStatus::Failed;
  }
  c.ui.Message(fmt::sprintf("%d data was saved.", lines));
  return CommandStatus::Done;
}

CommandStatus SaveCsv(CommandContext& c) {
  // A save dialog: the name is usually a new file; one typed without an extension gets
  // ".csv".
  const auto path = c.ui.SaveFileName("*.csv", {"CSV file(*.csv)", "*.csv"});
  if (!path) return CommandStatus::Canceled;
  std::string problem;
  if (!WriteCsvGrid(*c.doc.grid, *path, problem)) {
    c.ui.Message(problem);
    return CommandStatus::Failed;
  }
  return CommandStatus::Done;
}

void Add(CommandTable& table, int id, CommandOwner owner, CommandHandler run, int largerThan) {
  table.Add({id, owner, std::move(run),
             [largerThan](const CommandContext& c, CommandState& s) { s.enabled = GridLargerThan(c, largerThan); }});
}

}  // namespace

void RegisterExportCommands(CommandTable& table) {
  Add(table, ID_SAVE_STANDARD_XML, CommandOwner::Document, SaveStandardXml, 1);
  Add(table, ID_SAVE_CSV, CommandOwner::View, SaveCsv, 0);
  Add(table, ID_STATISTICS, CommandOwner::View, Statistics, 0);
  Add(table, ID_AVERAGE_X, CommandOwner::View, AverageX, 0);

  table.AddBatch({"save-xml", ID_SAVE_STANDARD_XML, {"answer"}}).takesArgument = true;
  table.AddBatch({"save-csv", ID_SAVE_CSV, {}}).takesArgument = true;
  table.AddBatch({"statistics", ID_STATISTICS, {"min", "max", "cancel"}});
  table.AddBatch({"average-x", ID_AVERAGE_X, {"xmin", "xint", "cancel"}, {}, {}, true});
}

}  // namespace gridora
