#include "platform/replacing_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/diagnostic_file.h"

namespace gridora {
namespace {

// mkstemp creates the file readable by its owner only; give it the permissions an
// ordinary new file would have.
mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

constexpr std::size_t kBufferSize = 1 << 20;

}  // namespace

ReplacingFile::ReplacingFile(std::filesystem::path target, Name name)
    : target_(std::move(target)), fixedName_(name == Name::Fixed) {
  if (fixedName_) return;
  // Replace what a link points to, not the link.
  std::error_code error;
  if (std::filesystem::is_symlink(target_, error)) {
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(target_, error);
    if (!error) target_ = resolved;
  }
}

ReplacingFile::~ReplacingFile() { Discard(); }

bool ReplacingFile::Fail(int errorNumber) {
  if (error_.empty()) error_ = errorNumber ? std::strerror(errorNumber) : "write error";
  return false;
}

bool ReplacingFile::Open() {
  Discard();
  error_.clear();
  if (target_.empty()) {
    error_ = "no file name";
    return false;
  }
  if (fixedName_) {
    struct stat found {};
    if (::lstat(target_.c_str(), &found) == 0 && !S_ISDIR(found.st_mode)) {
      if (const char* refusal = FixedNameRefusal(found)) {
        error_ = refusal;
        return false;
      }
    }
  }
  std::error_code status;
  if (std::filesystem::is_directory(target_, status)) return Fail(EISDIR);
  const std::filesystem::path folder = target_.has_parent_path() ? target_.parent_path() : ".";
  std::string pattern = (folder / ("." + target_.filename().string() + ".XXXXXX")).string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int descriptor = ::mkstemp(name.data());
  if (descriptor < 0) return Fail(errno);
  temporary_ = name.data();
  // The replacement keeps the permissions of the file it replaces.
  struct stat existing {};
  ::fchmod(descriptor, ::stat(target_.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : NewFileMode());
  file_ = ::fdopen(descriptor, "wb");
  if (!file_) {
    const int error = errno;
    ::close(descriptor);
    return Fail(error);
  }
  std::setvbuf(file_, nullptr, _IOFBF, kBufferSize);
  return true;
}

bool ReplacingFile::Write(std::string_view bytes) {
  if (!file_ || Failed()) return Fail(EBADF);
  if (bytes.empty()) return true;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) return Fail(errno);
  return true;
}

bool ReplacingFile::Commit() {
  if (!file_ || Failed()) {
    Fail(EBADF);
    Discard();
    return false;
  }
  const bool flushed = std::fflush(file_) == 0 && !std::ferror(file_);
  const int flushError = errno;
  const bool closed = std::fclose(file_) == 0;
  const int closeError = errno;
  file_ = nullptr;
  if (!flushed || !closed) {
    Fail(!flushed ? flushError : closeError);
    Discard();
    return false;
  }
  if (std::rename(temporary_.c_str(), target_.c_str()) != 0) {
    Fail(errno);
    Discard();
    return false;
  }
  temporary_.clear();
  return true;
}

void ReplacingFile::Discard() {
  if (file_) {
    std::fclose(file_);
    file_ = nullptr;
  }
  if (!temporary_.empty()) {
    std::error_code ignored;
    std::filesystem::remove(temporary_, ignored);
    temporary_.clear();
  }
}

}  // namespace gridora
