#pragma once
// Survey metadata of one line of the standard XML file: the investigation, the levee,
// the survey method with its acquisition and analysis, and the two ends of the line.
// The text records fill themselves from the profile (section "General") when they are
// made, over built-in defaults; the profile is the only way to change what the file
// says. Texts are UTF-8.
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

  std::string sProject = "Project";
  std::string sInvestigationName = "InvestigationName";
  std::string sClient = "Client";
  std::string sContractor = "Contractor";
  std::string sApplication = "levee";
  std::string sSite = "Japan";
};

class LeveeInformation {
 public:
  explicit LeveeInformation(Profile& profile);
  // river_name, river_side, levee_location and the four distance posts; sPrefecture is
  // not written.
  void WriteXml(DomNode parent, const StandardXmlTags& tags) const;

  std::string sRiverName = "小貝川";
  std::string sSide = "左岸";
  std::string sLeveeLocation = "天端(中央)";
  std::string sPrefecture = "茨城県";
  float fDistancePostStart = 32000.0f;
  float fDistancePostStartOdd = 0.0f;
  float fDistancePostEnd = 33000.0f;
  float fDistancePostEndOdd = 0.0f;
};

class AcquisitionInformation {
 public:
  explicit AcquisitionInformation(Profile& profile);
  // operator, acquisition_date, acquisition_method, instrument.
  void WriteXml(DomNode parent, const StandardXmlTags& tags) const;

  std::string sOperator = "Operator";
  std::string sAcquisitionDate = "19990126";  // free text, yyyymmdd by convention
  std::string sMethod = "Method";
  std::string sInstrument = "Instrument";
};

class AnalysisInformation {
 public:
  explicit AnalysisInformation(Profile& profile);
  // analyst, analysis_method, analysys_software.
  void WriteXml(DomNode parent, const StandardXmlTags& tags) const;

  std::string sAnalyst = "Analyst";
  std::string sMethod = "Non-linear least square method";
  std::string sSoftware = "Analysis software name";
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
  std::string sMethod;  // methodCodes[0] in both tag sets
};

// Plan position of one end of the line (written as latitude x and longitude y).
struct SurveyLocation {
  float x = 0.0f;
  float y = 0.0f;
};

}  // namespace gridora
