#pragma once
// Opening and saving through the document: a name whose extension holds "snp" or
// "SNP" is a document file, and so is a file laid out as one whatever its name (a
// document saved without its extension); every other file is a CSV table. The readers
// below take options and return what they found; this is where the user is asked and
// told.
#include <iosfwd>
#include <string>

#include "formats/read_status.h"

namespace gridora {

class Document;
class Profile;
class UserInterface;
struct GridModel;
struct RandomData;

// True when the text after the last "." of the file name (the whole name without a
// dot) contains "snp" or "SNP".
bool IsSnpFileName(const std::string& path);

// True for a document file by its name or, failing that, by its layout.
bool IsDocumentFile(const std::string& path);

struct DocumentReadResult {
  ReadStatus status = ReadStatus::Failed;
  bool updateViews = false;  // the views must show the new data
};

// Reads a document file (ReadSnp) or a CSV table (ReadCsvGrid) into the document.
// On success dataFolder becomes the file's folder, pathName the document file's path
// (empty after a CSV table, so that saving asks for a name instead of overwriting the
// table), scaleFromFile 1 (document file with layers) or 2 (CSV), and mapBitmapDirty
// 1. On failure the user has been told and the document is as it was.
DocumentReadResult ReadDocumentFile(Document& doc, const std::string& path, UserInterface& ui);

// Reads a .snp stream (ReadSnp) and tells the user what it found: the header line,
// then why the file was refused. The layer count, or -1 (grid and points unchanged).
// `trailer` (when given) receives the file's trailing text part.
int ReadSnpAndReport(GridModel& grid, std::istream& in, RandomData& points, UserInterface& ui, const std::string& name,
                     std::string* trailer = nullptr);

// Counts the table (lines, fields of the first line), asks for the options in the
// "Import option" dialog (proposing the profile's, and keeping the answer there), then
// reads the table (ReadCsvTable) and reports "Min. = %f Max. = %f". A file that cannot
// be read, is empty, or whose options leave no node column or row gets a message and
// Failed; Cancel gives Canceled. Either way the grid is as it was.
ReadStatus ReadCsvGrid(GridModel& grid, const std::string& path, UserInterface& ui, Profile& profile);

// Writes the document file (the previous file survives a failed save). On success
// dataFolder and pathName follow the path; on failure `problem` says why.
bool WriteDocumentFile(Document& doc, const std::string& path, std::string& problem);

}  // namespace gridora
