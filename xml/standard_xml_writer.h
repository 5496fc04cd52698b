#pragma once
// The writer of the standard XML file (PWRI geophysical section standard 2011.01) in
// its English or Japanese tag set: one line whose grid cells form a regular grid of
// quadrilaterals, with its survey metadata, display window and contour boundaries.
#include <filesystem>
#include <string>
#include <vector>

#include "xml/dom.h"

namespace gridora {

class GeoPlotData;
class StandardXmlTags;
struct GeoPlotSection;

inline constexpr const char* kJapaneseTemplateName = "PWRI_GEOPHYSICAL_SECTION_STANDARD_2011_01_DTD.xml";
inline constexpr const char* kEnglishTemplateName = "PWRI_GEOPHYSICAL_SECTION_STANDARD_ENGLISH_2011_01_DTD.xml";

// The folder of the running executable; startFolder when it cannot be found.
std::string GetProgramFolder(const std::string& startFolder);

// Where the template files are looked for, in order: the installed data folder, then
// the program folder.
std::vector<std::filesystem::path> TemplateFolders(const std::string& programFolder);

// Builds the tree in the tag set of `japanese` (on the template of that language when
// one is installed) and saves it to path. False with `problem`, the message for the
// user, when nothing was saved.
bool WriteStandardXml(const std::string& path, GeoPlotData& data, const std::string& programFolder, bool japanese,
                      std::string& problem);
// The same with the template folders given.
bool WriteStandardXmlWithTemplates(const std::string& path, GeoPlotData& data,
                                   const std::vector<std::filesystem::path>& templateFolders, bool japanese,
                                   std::string& problem);

// The header and section of one line, appended to its line element. The node and
// element definitions are produced while the document is saved.
void WriteLine(DomNode line, const GeoPlotSection& section, const StandardXmlTags& tags, int lineIndex);

}  // namespace gridora
