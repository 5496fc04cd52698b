#pragma once
// Writing a file without ever losing the one it replaces: the new content goes into a
// temporary file beside the target, which is renamed over it only once it is complete.
#include <functional>
#include <iosfwd>
#include <string>

namespace gridora {

// `write` fills the stream and returns false when it could not. On failure the target
// is as it was, the temporary file is gone and `problem` says why.
bool ReplaceFile(const std::string& path, const std::function<bool(std::ostream&)>& write, std::string& problem);

}  // namespace gridora
