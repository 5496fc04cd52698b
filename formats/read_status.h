#pragma once
// How a reader that talks to the user ended.
namespace gridora {

enum class ReadStatus {
  Read,      // the document holds the file's data
  Canceled,  // the user canceled; nothing changed
  Failed,    // the file could not be read; the user has been told, nothing changed
};

}  // namespace gridora
