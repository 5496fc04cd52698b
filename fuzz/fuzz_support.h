#pragma once
// What the fuzz targets share: the input written to a file of this process for the
// readers that take a path.
#include <cstddef>
#include <cstdint>
#include <string>

namespace gridora::fuzz {

// Writes the bytes to this process's scratch file and returns its path.
const std::string& ScratchFile(const std::uint8_t* data, std::size_t size);

// A property every read must keep; a breach aborts, so the fuzzer reports the input.
void Require(bool holds, const char* property);

}  // namespace gridora::fuzz
