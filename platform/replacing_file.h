#pragma once
// Writes a file beside its target and moves it into place only once everything has
// been written, flushed to the disk and closed, so a failed write (full disk, folder
// that cannot be written, a crash or a kill in the middle) never leaves a half-written
// file where an earlier one was.
//
// The temporary is named ".NAME.gridora-tmp-XXXXXX" beside the target (NAME cut short
// when the whole would pass 255 bytes) and locked while it is written. A save that was killed leaves it behind; the
// next save of the same target removes such leftovers that no running save holds.
//
// A target the user made read-only (no write permission) is refused, not replaced
// through the rename. A target that is a symbolic link keeps its link: what it points to
// is replaced.
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace gridora {

// The file a save of `target` replaces: what a symbolic link names (the link stays),
// else `target` itself.
std::filesystem::path ReplacedFile(const std::filesystem::path& target);

// Why a file written beside `target` may not be renamed onto it: "Is a directory" for a
// folder, "the file is read-only" for a file the user may not write. Empty when it may
// (no file there yet included). Takes `target` as it is: resolve a link first.
std::string ReplacementRefusal(const std::filesystem::path& target);

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
  // Flushes the temporary file to the disk, closes it, renames it onto the target and
  // flushes the folder, so a save reported as done survives a power cut.
  bool Commit();
  // Drops the temporary file; the target stays as it was.
  void Discard();

  const std::filesystem::path& Target() const { return target_; }
  // The cause of the first failure, e.g. "Permission denied".
  const std::string& Error() const { return error_; }
  bool Failed() const { return !error_.empty(); }

  // What every temporary of this program carries after ".NAME".
  static constexpr std::string_view kTemporaryMarker = ".gridora-tmp-";

 private:
  bool Fail(int errorNumber);
  bool Fail(const std::string& reason);

  std::filesystem::path target_;
  bool fixedName_ = false;
  std::filesystem::path temporary_;
  std::FILE* file_ = nullptr;
  std::string error_;
};

}  // namespace gridora
