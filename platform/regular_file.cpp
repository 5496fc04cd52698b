#include "platform/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace gridora {
namespace {

std::string SystemReason(int error) { return std::generic_category().message(error); }

// Why a file of this kind is not read; empty for a regular file.
std::string KindRefusal(const struct stat& status) {
  if (S_ISREG(status.st_mode)) return {};
  if (S_ISDIR(status.st_mode)) return "it is a folder";
  return "it is not a regular file";
}

}  // namespace

int OpenRegularFileForReading(const std::filesystem::path& path, std::string& reason) {
  // O_NONBLOCK: a FIFO without a writer opens at once instead of waiting for one.
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (descriptor < 0) {
    reason = SystemReason(errno);
    return -1;
  }
  struct stat status {};
  if (::fstat(descriptor, &status) != 0) {
    reason = SystemReason(errno);
    ::close(descriptor);
    return -1;
  }
  reason = KindRefusal(status);
  if (!reason.empty()) {
    ::close(descriptor);
    return -1;
  }
  const int flags = ::fcntl(descriptor, F_GETFL);
  if (flags < 0 || ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    reason = SystemReason(errno);
    ::close(descriptor);
    return -1;
  }
  return descriptor;
}

bool IsRegularFileToRead(const std::filesystem::path& path, std::string& reason) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) {
    reason = SystemReason(errno);
    return false;
  }
  reason = KindRefusal(status);
  return reason.empty();
}

}  // namespace gridora
