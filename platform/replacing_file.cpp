#include "platform/replacing_file.h"

#include <fcntl.h>
#include <sys/file.h>
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
constexpr std::size_t kRandomPartLength = 6;  // mkstemp's XXXXXX

std::filesystem::path FolderOf(const std::filesystem::path& target) {
  return target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
}

// The longest file name the usual file systems take, in bytes.
constexpr std::size_t kFileNameLimit = 255;

// ".NAME.gridora-tmp-"; a NAME too long to leave room for the marker and the random
// part is cut, so a file whose name is at the limit can still be saved.
std::string TemporaryPrefix(const std::filesystem::path& target) {
  constexpr std::size_t kRoom = kFileNameLimit - 1 - ReplacingFile::kTemporaryMarker.size() - kRandomPartLength;
  std::string name = target.filename().string();
  if (name.size() > kRoom) name.resize(kRoom);
  return "." + name + std::string(ReplacingFile::kTemporaryMarker);
}

// Removes temporaries of earlier saves of `target` that were killed before they were
// renamed: ours (same owner), regular files, and not locked by a save still running.
void RemoveStaleTemporaries(const std::filesystem::path& target) {
  const std::string prefix = TemporaryPrefix(target);
  const std::filesystem::path folder = FolderOf(target);
  std::error_code error;
  std::filesystem::directory_iterator entries(folder, error);
  if (error) return;
  for (const auto& entry : entries) {
    const std::string name = entry.path().filename().string();
    if (name.size() != prefix.size() + kRandomPartLength || name.compare(0, prefix.size(), prefix) != 0) continue;
    const int descriptor = ::open(entry.path().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) continue;
    struct stat status {};
    if (::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == ::geteuid() &&
        ::flock(descriptor, LOCK_EX | LOCK_NB) == 0)
      ::unlink(entry.path().c_str());
    ::close(descriptor);
  }
}

// The target exists and may not be written: the user's protection stands even though
// the rename could replace the file.
bool IsReadOnly(const std::filesystem::path& target) {
  struct stat status {};
  if (::stat(target.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return false;
  return (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(target.c_str(), W_OK) != 0;
}

// After a rename the new name is durable only once its folder is on the disk too.
// Folders that cannot be flushed (some file systems refuse it) are not an error.
bool SyncFolder(const std::filesystem::path& folder, int& errorNumber) {
  const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor < 0) return true;
  const bool synced = ::fsync(descriptor) == 0 || errno == EINVAL || errno == EROFS;
  errorNumber = errno;
  ::close(descriptor);
  return synced;
}

}  // namespace

std::filesystem::path ReplacedFile(const std::filesystem::path& target) {
  // Replace what a link points to, not the link.
  std::error_code error;
  if (std::filesystem::is_symlink(target, error)) {
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(target, error);
    if (!error) return resolved;
  }
  return target;
}

std::string ReplacementRefusal(const std::filesystem::path& target) {
  std::error_code status;
  if (std::filesystem::is_directory(target, status)) return std::strerror(EISDIR);
  if (IsReadOnly(target)) return "the file is read-only";
  return {};
}

ReplacingFile::ReplacingFile(std::filesystem::path target, Name name)
    : target_(std::move(target)), fixedName_(name == Name::Fixed) {
  if (!fixedName_) target_ = ReplacedFile(target_);
}

ReplacingFile::~ReplacingFile() { Discard(); }

bool ReplacingFile::Fail(int errorNumber) { return Fail(errorNumber ? std::strerror(errorNumber) : "write error"); }

bool ReplacingFile::Fail(const std::string& reason) {
  if (error_.empty()) error_ = reason;
  return false;
}

bool ReplacingFile::Open() {
  Discard();
  error_.clear();
  if (target_.empty()) return Fail("no file name");
  if (fixedName_) {
    struct stat found {};
    if (::lstat(target_.c_str(), &found) == 0 && !S_ISDIR(found.st_mode)) {
      if (const char* refusal = FixedNameRefusal(found)) return Fail(std::string(refusal));
    }
  }
  if (const std::string refusal = ReplacementRefusal(target_); !refusal.empty()) return Fail(refusal);
  RemoveStaleTemporaries(target_);
  const std::string pattern = (FolderOf(target_) / (TemporaryPrefix(target_) + "XXXXXX")).string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int descriptor = ::mkostemp(name.data(), O_CLOEXEC);
  if (descriptor < 0) return Fail(errno);
  temporary_ = name.data();
  // Held until the file is closed: a later save sees this temporary is still in use.
  ::flock(descriptor, LOCK_EX | LOCK_NB);
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
  int error = 0;
  bool written = std::fflush(file_) == 0 && !std::ferror(file_);
  if (!written) error = errno;
  if (written && ::fsync(::fileno(file_)) != 0) {
    written = false;
    error = errno;
  }
  const bool closed = std::fclose(file_) == 0;
  if (written && !closed) error = errno;
  file_ = nullptr;
  if (!written || !closed) {
    Fail(error);
    Discard();
    return false;
  }
  if (std::rename(temporary_.c_str(), target_.c_str()) != 0) {
    Fail(errno);
    Discard();
    return false;
  }
  temporary_.clear();
  if (!SyncFolder(FolderOf(target_), error)) return Fail(error);
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
