#include "document/file_replacement.h"

#include <fmt/printf.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>

namespace gridora {

namespace fs = std::filesystem;

bool ReplaceFile(const std::string& path, const std::function<bool(std::ostream&)>& write, std::string& problem) {
  std::error_code error;
  fs::path target(path);
  // Replace what a link points to, not the link.
  if (fs::is_symlink(target, error)) {
    const fs::path resolved = fs::weakly_canonical(target, error);
    if (!error) target = resolved;
  }
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  std::random_device random;
  const fs::path temporary =
      folder / fmt::sprintf(".%s.%08x.tmp", target.filename().string(), static_cast<unsigned>(random()));

  auto fail = [&](const std::string& why) {
    std::error_code ignored;
    fs::remove(temporary, ignored);
    problem = fmt::sprintf("Cannot save %s: %s.", path, why);
    return false;
  };

  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return fail("the folder cannot be written to");
    if (!write(out)) return fail("writing the file failed (is the disk full?)");
    out.close();
    if (!out) return fail("writing the file failed (is the disk full?)");
  }
  // Keep the permissions of the file being replaced.
  const fs::file_status old = fs::status(target, error);
  if (!error && fs::exists(old)) fs::permissions(temporary, old.permissions(), error);
  fs::rename(temporary, target, error);
  if (error) return fail(error.message());
  return true;
}

}  // namespace gridora
