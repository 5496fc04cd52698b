#pragma once
// Opening files through the document, shared by File > Open, the recent-file list, the
// command line and files dropped on the window.
#include <string>

#include "commands/command_table.h"
#include "document/random_data.h"

namespace gridora {

// Reads a document file or a CSV table (by the file name) into the document, then adds
// it to the recent files, names the window after it and updates the views. Failed when
// the file could not be read (the user has been told; the document is unchanged).
CommandStatus OpenDocumentFile(CommandContext& context, const std::string& path);

// The message after points were read: their count and ranges ("Number of data = ...").
std::string PointSummary(bool secondary, const RandomData& data);

}  // namespace gridora
