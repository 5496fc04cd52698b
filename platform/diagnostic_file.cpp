#include "platform/diagnostic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>

#include "platform/trace.h"

namespace gridora {
namespace {

// Large enough that a log of a million nodes is a few hundred writes.
constexpr std::size_t kFlushSize = 1 << 16;

int Skip(const std::filesystem::path& path, const char* reason, int descriptor = -1) {
  if (descriptor >= 0) ::close(descriptor);
  Trace("Diagnostic file %s skipped: %s\n", path.string(), reason);
  return -1;
}

bool WriteAll(int descriptor, const char* bytes, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(descriptor, bytes, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace

const char* FixedNameRefusal(const struct stat& status) {
  if (S_ISLNK(status.st_mode)) return "it is a symbolic link";
  if (!S_ISREG(status.st_mode)) return "it is not a regular file";
  // A second name would make the write an overwrite of whatever file shares it.
  if (status.st_nlink > 1) return "it has more than one name";
  return nullptr;
}

int OpenDiagnosticDescriptor(const std::filesystem::path& path) {
  // O_NONBLOCK: opening a FIFO for writing with no reader fails at once (ENXIO) rather
  // than waiting for one; O_NOFOLLOW: a link fails with ELOOP.
  const int descriptor =
      ::open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
  if (descriptor < 0) return Skip(path, errno == ELOOP ? "it is a symbolic link" : std::strerror(errno));
  struct stat status {};
  if (::fstat(descriptor, &status) != 0) return Skip(path, std::strerror(errno), descriptor);
  if (const char* refusal = FixedNameRefusal(status)) return Skip(path, refusal, descriptor);
  const int flags = ::fcntl(descriptor, F_GETFL);
  if (flags < 0 || ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != 0)
    return Skip(path, std::strerror(errno), descriptor);
  return descriptor;
}

namespace {
std::atomic<bool> diagnosticFilesEnabled{true};
}  // namespace

void SetDiagnosticFilesEnabled(bool enabled) { diagnosticFilesEnabled = enabled; }
bool DiagnosticFilesEnabled() { return diagnosticFilesEnabled; }

namespace {
// Set once by the window before any command runs, read on the thread that runs commands.
DiagnosticProgressMaker& ProgressMaker() {
  static DiagnosticProgressMaker maker;
  return maker;
}
}  // namespace

void SetDiagnosticProgressMaker(DiagnosticProgressMaker maker) { ProgressMaker() = std::move(maker); }

std::unique_ptr<Feedback> BeginDiagnosticProgress(const std::string& title) {
  const DiagnosticProgressMaker& maker = ProgressMaker();
  return maker ? maker(title) : nullptr;
}

DiagnosticFile::DiagnosticFile(const std::filesystem::path& path, Encoding encoding) : encoding_(encoding) {
  if (!diagnosticFilesEnabled) return;
  descriptor_ = OpenDiagnosticDescriptor(path);
  if (descriptor_ >= 0 && encoding_ == Encoding::Utf16LittleEndian) buffer_.append("\xFF\xFE", 2);
}

DiagnosticFile::~DiagnosticFile() { Close(); }

void DiagnosticFile::Write(std::string_view text) {
  if (!IsOpen()) return;
  if (encoding_ == Encoding::SingleByte) {
    for (std::size_t start = 0; start < text.size();) {
      const std::size_t end = std::min(text.find('\n', start), text.size());
      buffer_.append(text.substr(start, end - start));
      if (end == text.size()) break;
      buffer_.append("\r\n", 2);
      start = end + 1;
    }
  } else {
    for (char c : text) {
      if (c == '\n') {
        buffer_.append("\r\0\n\0", 4);
      } else {
        buffer_.push_back(c);
        buffer_.push_back('\0');
      }
    }
  }
  if (buffer_.size() >= kFlushSize) Flush();
}

void DiagnosticFile::WriteBytes(std::string_view bytes) {
  if (!IsOpen()) return;
  buffer_.append(bytes);
  if (buffer_.size() >= kFlushSize) Flush();
}

void DiagnosticFile::Flush() {
  if (!buffer_.empty() && !WriteAll(descriptor_, buffer_.data(), buffer_.size())) failed_ = true;
  buffer_.clear();
}

bool DiagnosticFile::Close() {
  if (!IsOpen()) return false;
  Flush();
  const off_t length = ::lseek(descriptor_, 0, SEEK_CUR);
  if (length < 0 || ::ftruncate(descriptor_, length) != 0) failed_ = true;
  if (::close(descriptor_) != 0) failed_ = true;
  descriptor_ = -1;
  return !failed_;
}

}  // namespace gridora
