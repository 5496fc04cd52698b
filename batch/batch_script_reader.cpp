#include "batch/batch_script_reader.h"

#include <fmt/format.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace gridora {

BatchScriptReader::~BatchScriptReader() {
  if (file_) std::fclose(file_);
}

bool BatchScriptReader::Open(const std::string& path, std::string& problem) {
  file_ = std::fopen(path.c_str(), "rb");
  if (!file_) {
    problem = fmt::format("cannot open the batch script: {}", std::strerror(errno));
    return false;
  }
  struct stat status {};
  if (::fstat(::fileno(file_), &status) == 0 && S_ISDIR(status.st_mode)) {
    problem = "cannot read the batch script: it is a folder";
    std::fclose(file_);
    file_ = nullptr;
    return false;
  }
  return true;
}

BatchScriptReader::Next BatchScriptReader::ReadLine(std::string& line, std::string& problem) {
  line.clear();
  if (!file_) {
    problem = "the batch script is not open";
    return Next::Error;
  }
  ++lineNumber_;
  bool any = false;
  int c;
  while ((c = std::getc(file_)) != EOF) {
    any = true;
    if (c == '\n') break;
    if (line.size() >= kMaximumLineBytes) {
      problem = fmt::format("line {} is longer than {} bytes", lineNumber_, kMaximumLineBytes);
      return Next::Error;
    }
    line.push_back(static_cast<char>(c));
  }
  if (std::ferror(file_)) {
    problem = fmt::format("cannot read the batch script: {}", std::strerror(errno));
    return Next::Error;
  }
  if (!any) return Next::End;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (lineNumber_ == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
  return Next::Line;
}

}  // namespace gridora
