#pragma once
// Survey metadata of one line of the standard XML file: the investigation, the levee,
// the survey method with its acquisition and analysis, and the two ends of the line.
// The text records fill themselves from the profile (section "General") when they are
// made, over built-in defaults; the profile is the only way to change what the file
// says. Texts are UTF-8. The profile keys keep the spelling stored profiles use
// ("Investigation_sProject", "sRiverName", "sSidee", "fDistancePostStarte", ...), which
// is not the members' names.
#include <array>
#include <memory>
#include <string>

#include "xml/dom.h"

namespace gridora {

class Profile;
class StandardXmlTags;

class InvestigationInformation {
 public:
  explicit InvestigationInformation(Profile& profile);
  // project, investigation_name, client, contractor, application, investigation_site.
  void WriteXml(DomNode parent, const StandardXmlTags& tags) const;
  // The levee block belongs to the file when the purpose names a levee.
  bool IsLeveeInvestigation() const;

  std::string project = "Project";
  std::string investigationName = "InvestigationName";
  std::string client = "Client";
  std::string contractor = "Contractor";
  std::string application = "levee";
  std::string site = "Japan";
};

class LeveeInformation {
 public:
  explicit LeveeInformation(Profile& profile);
  // river_name, river_side, levee_location and the four distance posts; prefecture is
  // not written.
  void WriteXml(DomNode parent, const StandardXmlTags& tags) const;

  std::string riverName = "小貝川";
  std::string side = "左岸";
  std::string leveeLocation = "天端(中央)";
  std::string prefecture = "茨城県";
  float distancePostStart = 32000.0f;
  float distancePostStartOdd = 0.0f;
  float distancePostEnd = 33000.0f;
  float distancePostEndOdd = 0.0f;
};

class AcquisitionInformation {
 public:
  explicit AcquisitionInformation(Profile& profile);
  // operator, acquisition_date, acquisition_method, instrument.
  void WriteXml(DomNode parent, const StandardXmlTags& tags) const;

  std::string operatorName = "Operator";
  std::string acquisitionDate = "19990126";  // free text, yyyymmdd by convention
  std::string method = "Method";
  std::string instrument = "Instrument";
};

class AnalysisInformation {
 public:
  explicit AnalysisInformation(Profile& profile);
  // analyst, analysis_method, analysys_software.
  void WriteXml(DomNode parent, const StandardXmlTags& tags) const;

  std::string analyst = "Analyst";
  std::string method = "Non-linear least square method";
  std::string software = "Analysis software name";
};

// The survey method of the line. Reads nothing from the profile itself.
class SurveyInformation {
 public:
  static constexpr int kMethodCount = 5;

  explicit SurveyInformation(Profile& profile);

  std::unique_ptr<AcquisitionInformation> acquisitionInfo;
  std::unique_ptr<AnalysisInformation> analysisInfo;
  std::array<std::string, kMethodCount> methodCodes;
  std::array<std::string, kMethodCount> methodNames;
  std::string method;  // methodCodes[0] in both tag sets
};

// Plan position of one end of the line (written as latitude x and longitude y).
struct SurveyLocation {
  float x = 0.0f;
  float y = 0.0f;
};

}  // namespace gridora
