#include "commands/file_commands.h"

#include <fmt/printf.h>

#include <filesystem>
#include <memory>
#include <utility>

#include "commands/batch_line.h"
#include "commands/command_ids.h"
#include "commands/command_modules.h"
#include "commands/document_file.h"
#include "dialogs/dialogs.h"
#include "formats/pwri_grid.h"
#include "formats/space_delimited.h"
#include "platform/count_text.h"
#include "platform/user_interface.h"
#include "platform/view_host.h"
#include "view/document.h"

namespace gridora {
namespace {

const FileFilter kDocumentFilter{"Gridora Files (*.snp)", "*.snp"};

std::string FileNameOf(const std::string& path) { return std::filesystem::path(path).filename().string(); }

// The document's own name is the proposal for saving.
CommandStatus SaveTo(CommandContext& c, const std::string& path) {
  std::string problem;
  if (!WriteDocumentFile(c.doc, path, problem)) {
    c.ui.Message(problem);
    return CommandStatus::Failed;
  }
  c.view.AddRecentFile(path);
  c.view.SetTitle(FileNameOf(path));
  return CommandStatus::Done;
}

CommandStatus SaveAs(CommandContext& c) {
  const std::string proposal = c.doc.pathName.empty() ? std::string() : FileNameOf(c.doc.pathName);
  const auto path = c.ui.SaveFileName(proposal, kDocumentFilter);
  if (!path) return CommandStatus::Canceled;
  return SaveTo(c, *path);
}

// A document that has no document file yet (new, or read from a CSV table) is saved
// under a name the user chooses.
CommandStatus Save(CommandContext& c) { return c.doc.pathName.empty() ? SaveAs(c) : SaveTo(c, c.doc.pathName); }

CommandStatus Open(CommandContext& c) {
  const auto path = c.ui.OpenFileName("", kDocumentFilter);
  if (!path) return CommandStatus::Canceled;
  return OpenDocumentFile(c, *path);
}

// Moves what a reader put into `read` into the document's point set.
void ReplacePoints(RandomData& target, RandomData& read) { std::swap(target, read); }

// Lines added to the import message only when the file gave more than was kept.
std::string WhatWasLeftOut(const SpaceDelimitedCounts& counts, int kept) {
  std::string text;
  if (counts.pointsInFile > kept)
    text += fmt::sprintf("\n%s of %s points read: the limit is %s", GroupedCount(static_cast<std::uint64_t>(kept)),
                         GroupedCount(static_cast<std::uint64_t>(counts.pointsInFile)),
                         GroupedCount(RandomData::kCapacity));
  if (counts.notFinite > 0)
    text += fmt::sprintf("\n%s point(s) skipped: a value is not a number or infinite",
                         GroupedCount(static_cast<std::uint64_t>(counts.notFinite)));
  return text;
}

enum ImportChoice { kNewFile = 0, kAppend = 1, kSecondary = 2 };

// The import selection is asked only when points are loaded; a script that chooses
// anything but new data for an empty document would otherwise be ignored.
std::optional<std::string> RefuseImportWithoutPoints(const CommandContext& c, const BatchLine& line) {
  const std::string* choice = line.Key("import");
  if (!choice || *choice == "new" || c.doc.primaryData->count > 0) return std::nullopt;
  return "import=" + *choice + " needs loaded points; the document has none, so the file can only be read as new data";
}

CommandStatus OpenRandomData(CommandContext& c) {
  const auto path = c.ui.OpenFileName("*.*", FileFilter{"Random data file (*.*)", "*.*"});
  if (!path) return CommandStatus::Canceled;
  int choice = kNewFile;
  if (c.doc.primaryData->count > 0) {
    ImportSelectionDialog dialog;
    if (!c.ui.RunDialog(dialog)) return CommandStatus::Canceled;
    choice = dialog.selection;
    if (choice == kAppend) {
      c.ui.Message("Sorry. Under construction.");
      return CommandStatus::Canceled;
    }
  }

  // Read into a new set: the document changes only when the file gave points.
  auto read = CreateRandomData();
  std::string problem;
  SpaceDelimitedCounts counts;
  if (!ReadSpaceDelimited(*read, *path, problem, {}, &counts)) {
    c.ui.Message(problem);
    return CommandStatus::Failed;
  }
  const int count = read->count;
  const bool secondary = choice == kSecondary;
  c.ui.Message(PointSummary(secondary, *read) + WhatWasLeftOut(counts, count));
  if (count == 0) return CommandStatus::Failed;

  if (secondary)
    c.doc.secondaryData = std::move(read);
  else
    ReplacePoints(*c.doc.primaryData, *read);
  c.doc.dataFolder = std::filesystem::path(*path).parent_path().string();
  c.doc.mapBitmapDirty = 1;
  c.view.UpdateAllViews();
  return CommandStatus::Done;
}

CommandStatus OpenPwriData(CommandContext& c) {
  const auto path = c.ui.OpenFileName("*.*", FileFilter{"PWRI grid data (*.*)", "*.*"});
  if (!path) return CommandStatus::Canceled;
  auto read = CreateRandomData();
  std::string problem;
  long long notFinite = 0;
  if (!ReadPwriGrid(*read, *path, problem, RandomData::kCapacity, &notFinite)) {
    c.ui.Message(problem);
    return CommandStatus::Failed;
  }
  std::string summary = fmt::sprintf("Number of data = %d min.= %f max.= %f", read->count,
                                     static_cast<double>(read->zMinimum), static_cast<double>(read->zMaximum));
  if (notFinite > 0)
    summary += fmt::sprintf("\n%s value(s) that are not a number or infinite were passed over",
                            GroupedCount(static_cast<std::uint64_t>(notFinite)));
  c.ui.Message(summary);
  if (read->count == 0) return CommandStatus::Failed;
  ReplacePoints(*c.doc.primaryData, *read);
  c.doc.mapBitmapDirty = 1;
  c.view.UpdateAllViews();
  return CommandStatus::Done;
}

}  // namespace

std::string PointSummary(bool secondary, const RandomData& data) {
  const char* format = secondary ? "Number of data (2nd variable)= %d\nX : min. = %f max. = %f\n"
                                   "Y : min. = %f max. = %f\nZ : min. = %f max. = %f"
                                 : "Number of data = %d\nX : min. = %f max. = %f\n"
                                   "Y : min. = %f max. = %f\nZ : min. = %f max. = %f";
  return fmt::sprintf(format, data.count, static_cast<double>(data.xMinimum), static_cast<double>(data.xMaximum),
                      static_cast<double>(data.yMinimum), static_cast<double>(data.yMaximum),
                      static_cast<double>(data.zMinimum), static_cast<double>(data.zMaximum));
}

CommandStatus OpenDocumentFile(CommandContext& c, const std::string& path) {
  const DocumentReadResult result = ReadDocumentFile(c.doc, path, c.ui);
  if (result.status != ReadStatus::Read)
    return result.status == ReadStatus::Canceled ? CommandStatus::Canceled : CommandStatus::Failed;
  c.view.AddRecentFile(path);
  c.view.SetTitle(FileNameOf(path));
  if (result.updateViews) c.view.UpdateAllViews();
  return CommandStatus::Done;
}

void RegisterFileCommands(CommandTable& table) {
  using O = CommandOwner;
  table.Add({ID_FILE_OPEN, O::Application, Open});
  table.Add({ID_FILE_SAVE, O::Document, Save});
  table.Add({ID_FILE_SAVE_AS, O::Document, SaveAs});
  table.Add({ID_OPEN_RANDOM_DATA, O::Document, OpenRandomData});
  table.Add({ID_OPEN_PWRI, O::Document, OpenPwriData});

  table.AddBatch({"open", ID_FILE_OPEN, {"colskip", "rowskip", "collabel", "rowlabel", "transpose", "cancel"}})
      .takesArgument = true;
  table.AddBatch({"save", ID_FILE_SAVE_AS, {}}).takesArgument = true;
  BatchCommand& openRandom = table.AddBatch({"open-random", ID_OPEN_RANDOM_DATA, {"import", "cancel"}});
  openRandom.takesArgument = true;
  openRandom.refuseLine = RefuseImportWithoutPoints;
  table.AddBatch({"open-pwri", ID_OPEN_PWRI, {}}).takesArgument = true;
}

}  // namespace gridora
