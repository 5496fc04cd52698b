#pragma once
// The writer of the standard XML file (PWRI geophysical section standard 2011.01) in
// its English or Japanese tag set: one line whose grid cells form a regular grid of
// quadrilaterals, with its survey metadata, display window and contour boundaries.
#include <filesystem>
#include <string>
#include <vector>

#include "xml/dom.h"

namespace gridora {

class CGridoraDoc;
class CGeoPlotData;
class CStandardXMLTag;
class Profile;
class UserInterface;
struct GeoPlotSection;

enum class XmlExportOutcome { Saved, Canceled, Failed };

inline constexpr const char* kJapaneseTemplateName = "PWRI_GEOPHYSICAL_SECTION_STANDARD_2011_01_DTD.xml";
inline constexpr const char* kEnglishTemplateName = "PWRI_GEOPHYSICAL_SECTION_STANDARD_ENGLISH_2011_01_DTD.xml";

// "Save standard XML file": asks for the file, copies the grid into section data and
// writes it. Every failure has been shown to the user when Failed is returned.
XmlExportOutcome OnSaveStandardXml(CGridoraDoc& doc, UserInterface& ui, Profile& profile);

// The folder of the running executable; startFolder when it cannot be found.
std::string GetProgramFolder(const std::string& startFolder);

// Where the template files are looked for, in order: the installed data folder, then
// the program folder.
std::vector<std::filesystem::path> TemplateFolders(const std::string& programFolder);

// Asks for the language, builds the tree (on the template of that language when one is
// installed) and saves it to path. False after a message when nothing was saved.
bool WriteStandardXml(const std::string& path, CGeoPlotData& data, const std::string& programFolder,
                      UserInterface& ui, Profile& profile);
// The same with the template folders given.
bool WriteStandardXmlWithTemplates(const std::string& path, CGeoPlotData& data,
                                   const std::vector<std::filesystem::path>& templateFolders,
                                   UserInterface& ui, Profile& profile);

// The header and section of one line, appended to its line element. The node and
// element definitions are produced while the document is saved.
void WriteLine(DomNode line, const GeoPlotSection& section, const CStandardXMLTag& tags, int lineIndex);

}  // namespace gridora
