#pragma once
// Writes a file beside its target and moves it into place only once everything has
// been written and closed, so a failed write (full disk, folder that cannot be written)
// never leaves a half-written file where an earlier one was.
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace gridora {

class ReplacingFile {
 public:
  // How the target's name is taken: a document follows a link to the file it names
  // (the link stays); a result file with a fixed name (statistics, averages) is refused
  // when the name is a link or anything but a regular file, as the diagnostic files
  // are, and the rename never goes through a link.
  enum class Name { FollowLink, Fixed };
  explicit ReplacingFile(std::filesystem::path target, Name name = Name::FollowLink);
  ~ReplacingFile();  // discards the temporary file unless Commit succeeded
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // Creates the temporary file. False: Error() says why.
  bool Open();
  // Appends bytes; after a failure every further call returns false.
  bool Write(std::string_view bytes);
  // Flushes and closes the temporary file, then renames it onto the target.
  bool Commit();
  // Drops the temporary file; the target stays as it was.
  void Discard();

  const std::filesystem::path& Target() const { return target_; }
  // The cause of the first failure, e.g. "Permission denied".
  const std::string& Error() const { return error_; }
  bool Failed() const { return !error_.empty(); }

 private:
  bool Fail(int errorNumber);

  std::filesystem::path target_;
  bool fixedName_ = false;
  std::filesystem::path temporary_;
  std::FILE* file_ = nullptr;
  std::string error_;
};

}  // namespace gridora
