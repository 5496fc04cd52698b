#include "commands/document_file.h"

#include <fmt/printf.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "dialogs/dialogs.h"
#include "formats/csv_grid.h"
#include "formats/snp_file.h"
#include "formats/snp_save.h"
#include "geostat/kriging_options.h"
#include "platform/count_text.h"
#include "platform/regular_file.h"
#include "platform/user_interface.h"
#include "view/document.h"

namespace gridora {
namespace {

std::string FolderOf(const std::string& path) { return std::filesystem::path(path).parent_path().string(); }

}  // namespace

bool IsSnpFileName(const std::string& path) {
  const std::string name = std::filesystem::path(path).filename().string();
  const std::size_t dot = name.rfind('.');
  const std::string extension = dot == std::string::npos ? name : name.substr(dot + 1);
  return extension.find("snp") != std::string::npos || extension.find("SNP") != std::string::npos;
}

int ReadSnpAndReport(GridModel& grid, std::istream& in, RandomData& points, UserInterface& ui, const std::string& name,
                     std::string* trailer) {
  SnpReadResult read;
  std::string problem;
  const bool readable = ReadSnp(grid, in, points, name, read, problem);
  if (!read.header.empty()) ui.Message(read.header);
  if (!readable) ui.Message(problem);
  if (readable && !read.damage.empty()) ui.Message(read.damage);
  if (trailer) *trailer = std::move(read.trailer);
  return readable ? read.layers : -1;
}

ReadStatus ReadCsvGrid(GridModel& grid, const std::string& path, UserInterface& ui, Profile& profile) {
  std::string problem;
  CsvTableSize size;
  if (!CountCsvTable(path, size, problem)) {
    ui.Message(problem);
    return ReadStatus::Failed;
  }
  const CsvImportOptions stored = CsvImportOptions::FromProfile(profile);
  CsvImportDialog dialog;
  dialog.ncols = size.ncols;
  dialog.nrows = size.nrows;
  dialog.colSkip = stored.colSkip;
  dialog.columnLabels = stored.columnLabels;
  dialog.rowSkip = stored.rowSkip;
  dialog.rowLabels = stored.rowLabels;
  dialog.transpose = stored.transpose;
  if (!ui.RunDialog(dialog)) return ReadStatus::Canceled;

  CsvImportOptions options;
  options.colSkip = dialog.colSkip;
  options.rowSkip = dialog.rowSkip;
  options.columnLabels = dialog.columnLabels;
  options.rowLabels = dialog.rowLabels;
  options.transpose = dialog.transpose;
  options.ToProfile(profile);

  long long notFinite = 0;
  if (!ReadCsvTable(grid, path, size, options, problem, &notFinite)) {
    ui.Message(problem);
    return ReadStatus::Failed;
  }
  std::string summary = fmt::sprintf("Min. = %f Max. = %f", static_cast<double>(grid.layerMinimum[0]),
                                     static_cast<double>(grid.layerMaximum[0]));
  // Said only when the file was read differently from what it shows.
  if (size.longLines > 0)
    summary += fmt::sprintf("\n%s line(s) longer than %s characters were read in pieces of %s, each piece as a row",
                            GroupedCount(static_cast<std::uint64_t>(size.longLines)), GroupedCount(kCsvLineCharacters),
                            GroupedCount(kCsvLineCharacters));
  if (notFinite > 0)
    summary += fmt::sprintf("\n%s value(s) that are not a number or infinite were read as 0",
                            GroupedCount(static_cast<std::uint64_t>(notFinite)));
  // A few columns over many rows is the shape of a point table (id, X, Y, Z), which
  // this reads as a narrow grid: say where points are read.
  if (size.ncols >= 3 && size.ncols <= 4 && size.nrows >= 10 * size.ncols)
    summary += fmt::sprintf(
        "\nThe table has %d columns and %d rows. If each row is a point (X, Y, Z), read it "
        "with Data > Import table... instead.",
        size.ncols, size.nrows);
  ui.Message(summary);
  return ReadStatus::Read;
}

bool IsDocumentFile(const std::string& path) {
  if (IsSnpFileName(path)) return true;
  std::ifstream in(path, std::ios::binary);
  return in && HasSnpLayout(in);
}

DocumentReadResult ReadDocumentFile(Document& doc, const std::string& path, UserInterface& ui) {
  DocumentReadResult result;
  // A FIFO would hang the read and a device (/dev/zero) never end: regular files only.
  if (std::string reason; !IsRegularFileToRead(path, reason)) {
    ui.Message(fmt::sprintf("Cannot open %s: %s.", path, reason));
    return result;
  }
  if (IsDocumentFile(path)) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
      ui.Message(fmt::sprintf("Cannot open %s: %s.", path, std::generic_category().message(errno)));
      return result;
    }
    std::string options;
    const int layers = ReadSnpAndReport(*doc.grid, in, *doc.primaryData, ui, path, &options);
    if (layers < 0) return result;
    // A document without options (or from before them) has the program's defaults.
    doc.krigingOptions = std::make_unique<KrigingOptions>(ParseKrigingOptions(options).value_or(KrigingOptions{}));
    result.status = ReadStatus::Read;
    doc.dataFolder = FolderOf(path);
    doc.pathName = path;
    if (layers >= 1) {
      doc.scaleFromFile = 1;
      doc.mapBitmapDirty = 1;
      result.updateViews = true;
    }
    return result;
  }
  result.status = ReadCsvGrid(*doc.grid, path, ui, doc.profile());
  if (result.status != ReadStatus::Read) return result;
  doc.dataFolder = FolderOf(path);
  doc.pathName.clear();
  doc.scaleFromFile = 2;
  doc.mapBitmapDirty = 1;
  result.updateViews = true;
  return result;
}

bool WriteDocumentFile(Document& doc, const std::string& path, std::string& problem) {
  // Options left at their defaults are not written: such a file is the file as before.
  const bool withOptions = doc.krigingOptions && !(*doc.krigingOptions == KrigingOptions{});
  const std::string options = withOptions ? KrigingOptionsText(*doc.krigingOptions) : std::string();
  if (!SaveSnpFile(*doc.grid, *doc.primaryData, path, problem, options)) return false;
  doc.dataFolder = FolderOf(path);
  doc.pathName = path;
  return true;
}

}  // namespace gridora
