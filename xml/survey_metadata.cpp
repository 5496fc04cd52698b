#include "xml/survey_metadata.h"

#include "platform/profile.h"
#include "xml/xml_tags.h"

namespace gridora {

InvestigationInformation::InvestigationInformation(Profile& profile) {
  ReadProfileText(profile, "Investigation_sProject", sProject);
  ReadProfileText(profile, "Investigation_sInvestigationName", sInvestigationName);
  ReadProfileText(profile, "Investigation_sClient", sClient);
  ReadProfileText(profile, "Investigation_sContractor", sContractor);
  ReadProfileText(profile, "Investigation_sApplication", sApplication);
  ReadProfileText(profile, "Investigation_sSite", sSite);
}

void InvestigationInformation::WriteXml(DomNode parent, const StandardXmlTags& tags) const {
  AppendTextElement(parent, tags.project, sProject);
  AppendTextElement(parent, tags.investigation_name, sInvestigationName);
  AppendTextElement(parent, tags.client, sClient);
  AppendTextElement(parent, tags.contractor, sContractor);
  AppendTextElement(parent, tags.application, sApplication);
  AppendTextElement(parent, tags.investigation_site, sSite);
}

bool InvestigationInformation::IsLeveeInvestigation() const {
  return sApplication.find("levee") != std::string::npos || sApplication.find("河川堤防") != std::string::npos;
}

// The key spellings "sSidee" and "fDistancePostStarte" are the ones stored profiles use.
LeveeInformation::LeveeInformation(Profile& profile) {
  ReadProfileText(profile, "sRiverName", sRiverName);
  ReadProfileText(profile, "sSidee", sSide);
  ReadProfileText(profile, "sLeveeLocation", sLeveeLocation);
  ReadProfileText(profile, "sPrefecture", sPrefecture);
  ReadProfileFloat(profile, "fDistancePostStarte", fDistancePostStart);
  ReadProfileFloat(profile, "fDistancePostStartOdd", fDistancePostStartOdd);
  ReadProfileFloat(profile, "fDistancePostEnd", fDistancePostEnd);
  ReadProfileFloat(profile, "fDistancePostEndOdd", fDistancePostEndOdd);
}

void LeveeInformation::WriteXml(DomNode parent, const StandardXmlTags& tags) const {
  AppendTextElement(parent, tags.river_name, sRiverName);
  AppendTextElement(parent, tags.river_side, sSide);
  AppendTextElement(parent, tags.levee_location, sLeveeLocation);
  AppendFloatElement(parent, tags.distance_post_star, fDistancePostStart);
  AppendFloatElement(parent, tags.distance_post_star_odd, fDistancePostStartOdd);
  AppendFloatElement(parent, tags.distance_post_end, fDistancePostEnd);
  AppendFloatElement(parent, tags.distance_post_end_odd, fDistancePostEndOdd);
}

AcquisitionInformation::AcquisitionInformation(Profile& profile) {
  ReadProfileText(profile, "Acquisition_sOperator", sOperator);
  ReadProfileText(profile, "Acquisition_sAcquisitionDate", sAcquisitionDate);
  ReadProfileText(profile, "Acquisition_sMethod", sMethod);
  ReadProfileText(profile, "Acquisition_sInstrument", sInstrument);
}

void AcquisitionInformation::WriteXml(DomNode parent, const StandardXmlTags& tags) const {
  AppendTextElement(parent, tags.operator_, sOperator);
  AppendTextElement(parent, tags.acquisition_date, sAcquisitionDate);
  AppendTextElement(parent, tags.acquisition_method, sMethod);
  AppendTextElement(parent, tags.instrument, sInstrument);
}

AnalysisInformation::AnalysisInformation(Profile& profile) {
  ReadProfileText(profile, "Analysis_sAnalyst", sAnalyst);
  ReadProfileText(profile, "Analysis_sMethod", sMethod);
  ReadProfileText(profile, "Analysis_sSoftware", sSoftware);
}

void AnalysisInformation::WriteXml(DomNode parent, const StandardXmlTags& tags) const {
  AppendTextElement(parent, tags.analyst, sAnalyst);
  AppendTextElement(parent, tags.analysis_method, sMethod);
  AppendTextElement(parent, tags.analysys_software, sSoftware);
}

SurveyInformation::SurveyInformation(Profile& profile)
    : methodCodes{"geophysical_exploration", "p_refraction", "s_refraction", "resistivity", "surface_wave"},
      methodNames{"物理探査", "P波屈折法", "S波屈折法", "電気探査", "表面波探査"},
      sMethod(methodCodes[0]) {
  acquisitionInfo = std::make_unique<AcquisitionInformation>(profile);
  analysisInfo = std::make_unique<AnalysisInformation>(profile);
}

}  // namespace gridora
