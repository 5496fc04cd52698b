#pragma once
// Opening a file for reading only when it is a regular file. A name given for data may
// be a FIFO (opening it waits for a writer, reading it waits for data), a device that
// never ends (/dev/zero, /dev/urandom) or a folder; the readers refuse them with a
// message instead of hanging or reading without end.
#include <filesystem>
#include <string>

namespace gridora {

// Opens `path` read-only (close-on-exec, blocking reads) when it is a regular file,
// following links. Returns the descriptor, or -1 with `reason` set ("it is not a regular
// file", "it is a folder" or the system's reason, e.g. "No such file or directory").
// A FIFO is opened without waiting for a writer, then refused.
int OpenRegularFileForReading(const std::filesystem::path& path, std::string& reason);

// The same test on a name handed to a library that opens it itself: true when `path`
// names a regular file (through links), else false with `reason` set as above.
bool IsRegularFileToRead(const std::filesystem::path& path, std::string& reason);

}  // namespace gridora
