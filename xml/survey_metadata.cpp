#include "xml/survey_metadata.h"

#include "platform/profile.h"
#include "xml/xml_tags.h"

namespace gridora {

InvestigationInformation::InvestigationInformation(Profile& profile) {
  ReadProfileText(profile, "Investigation_sProject", project);
  ReadProfileText(profile, "Investigation_sInvestigationName", investigationName);
  ReadProfileText(profile, "Investigation_sClient", client);
  ReadProfileText(profile, "Investigation_sContractor", contractor);
  ReadProfileText(profile, "Investigation_sApplication", application);
  ReadProfileText(profile, "Investigation_sSite", site);
}

void InvestigationInformation::WriteXml(DomNode parent, const StandardXmlTags& tags) const {
  AppendTextElement(parent, tags.project, project);
  AppendTextElement(parent, tags.investigation_name, investigationName);
  AppendTextElement(parent, tags.client, client);
  AppendTextElement(parent, tags.contractor, contractor);
  AppendTextElement(parent, tags.application, application);
  AppendTextElement(parent, tags.investigation_site, site);
}

bool InvestigationInformation::IsLeveeInvestigation() const {
  return application.find("levee") != std::string::npos || application.find("河川堤防") != std::string::npos;
}

// The key spellings "sSidee" and "fDistancePostStarte" are the ones stored profiles use.
LeveeInformation::LeveeInformation(Profile& profile) {
  ReadProfileText(profile, "sRiverName", riverName);
  ReadProfileText(profile, "sSidee", side);
  ReadProfileText(profile, "sLeveeLocation", leveeLocation);
  ReadProfileText(profile, "sPrefecture", prefecture);
  ReadProfileFloat(profile, "fDistancePostStarte", distancePostStart);
  ReadProfileFloat(profile, "fDistancePostStartOdd", distancePostStartOdd);
  ReadProfileFloat(profile, "fDistancePostEnd", distancePostEnd);
  ReadProfileFloat(profile, "fDistancePostEndOdd", distancePostEndOdd);
}

void LeveeInformation::WriteXml(DomNode parent, const StandardXmlTags& tags) const {
  AppendTextElement(parent, tags.river_name, riverName);
  AppendTextElement(parent, tags.river_side, side);
  AppendTextElement(parent, tags.levee_location, leveeLocation);
  AppendFloatElement(parent, tags.distance_post_star, distancePostStart);
  AppendFloatElement(parent, tags.distance_post_star_odd, distancePostStartOdd);
  AppendFloatElement(parent, tags.distance_post_end, distancePostEnd);
  AppendFloatElement(parent, tags.distance_post_end_odd, distancePostEndOdd);
}

AcquisitionInformation::AcquisitionInformation(Profile& profile) {
  ReadProfileText(profile, "Acquisition_sOperator", operatorName);
  ReadProfileText(profile, "Acquisition_sAcquisitionDate", acquisitionDate);
  ReadProfileText(profile, "Acquisition_sMethod", method);
  ReadProfileText(profile, "Acquisition_sInstrument", instrument);
}

void AcquisitionInformation::WriteXml(DomNode parent, const StandardXmlTags& tags) const {
  AppendTextElement(parent, tags.operator_, operatorName);
  AppendTextElement(parent, tags.acquisition_date, acquisitionDate);
  AppendTextElement(parent, tags.acquisition_method, method);
  AppendTextElement(parent, tags.instrument, instrument);
}

AnalysisInformation::AnalysisInformation(Profile& profile) {
  ReadProfileText(profile, "Analysis_sAnalyst", analyst);
  ReadProfileText(profile, "Analysis_sMethod", method);
  ReadProfileText(profile, "Analysis_sSoftware", software);
}

void AnalysisInformation::WriteXml(DomNode parent, const StandardXmlTags& tags) const {
  AppendTextElement(parent, tags.analyst, analyst);
  AppendTextElement(parent, tags.analysis_method, method);
  AppendTextElement(parent, tags.analysys_software, software);
}

SurveyInformation::SurveyInformation(Profile& profile)
    : methodCodes{"geophysical_exploration", "p_refraction", "s_refraction", "resistivity", "surface_wave"},
      methodNames{"物理探査", "P波屈折法", "S波屈折法", "電気探査", "表面波探査"},
      method(methodCodes[0]) {
  acquisitionInfo = std::make_unique<AcquisitionInformation>(profile);
  analysisInfo = std::make_unique<AnalysisInformation>(profile);
}

}  // namespace gridora
