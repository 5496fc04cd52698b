#include "document/document_file.h"

#include <fmt/printf.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "document/csv_grid.h"
#include "document/gridora_doc.h"
#include "document/snp_file.h"
#include "platform/replacing_file.h"
#include "platform/user_interface.h"

namespace gridora {
namespace {

std::string FolderOf(const std::string& path) { return std::filesystem::path(path).parent_path().string(); }

// Lets the document writer's stream fill a file that replaces its target only once
// complete.
class ReplacingFileBuffer : public std::streambuf {
 public:
  explicit ReplacingFileBuffer(ReplacingFile& file) : file_(file) {}

 protected:
  std::streamsize xsputn(const char* bytes, std::streamsize count) override {
    return file_.Write(std::string_view(bytes, static_cast<std::size_t>(count))) ? count : 0;
  }
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char byte = traits_type::to_char_type(c);
    return file_.Write(std::string_view(&byte, 1)) ? c : traits_type::eof();
  }

 private:
  ReplacingFile& file_;
};

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
  ReplacingFile file(path);
  ReplacingFileBuffer buffer(file);
  std::ostream out(&buffer);
  if (!file.Open() || !WriteSnp(*doc.grid, out, *doc.primaryData) || !out.flush() || !file.Commit()) {
    problem = fmt::sprintf("Cannot save %s: %s.", path, file.Failed() ? file.Error() : "writing the file failed");
    return false;
  }
  doc.dataFolder = FolderOf(path);
  doc.pathName = path;
  return true;
}

}  // namespace gridora
