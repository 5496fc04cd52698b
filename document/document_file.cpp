#include "document/document_file.h"

#include <fmt/printf.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "document/csv_grid.h"
#include "document/file_replacement.h"
#include "document/gridora_doc.h"
#include "document/snp_file.h"
#include "platform/user_interface.h"

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

DocumentReadResult ReadDocumentFile(CGridoraDoc& doc, const std::string& path, UserInterface& ui) {
  DocumentReadResult result;
  if (IsSnpFileName(path)) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
      ui.Message(fmt::sprintf("Cannot open %s: %s.", path, std::generic_category().message(errno)));
      return result;
    }
    const int layers = ReadSnp(*doc.grid, in, *doc.primaryData, ui, path);
    if (layers < 0) return result;
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

bool WriteDocumentFile(CGridoraDoc& doc, const std::string& path, std::string& problem) {
  const bool written = ReplaceFile(
      path, [&](std::ostream& out) { return WriteSnp(*doc.grid, out, *doc.primaryData); }, problem);
  if (!written) return false;
  doc.dataFolder = FolderOf(path);
  doc.pathName = path;
  return true;
}

}  // namespace gridora
