#include <gtest/gtest.h>

#include "platform/profile.h"
#include "xml/survey_metadata.h"

namespace gridora {
namespace {

TEST(SurveyMetadata, EmptyProfileGivesTheDefaults) {
  MemoryProfile profile;
  const InvestigationInformation investigation(profile);
  EXPECT_EQ(investigation.project, "Project");
  EXPECT_EQ(investigation.investigationName, "InvestigationName");
  EXPECT_EQ(investigation.client, "Client");
  EXPECT_EQ(investigation.contractor, "Contractor");
  EXPECT_EQ(investigation.application, "levee");
  EXPECT_EQ(investigation.site, "Japan");
  EXPECT_TRUE(investigation.IsLeveeInvestigation());

  const LeveeInformation levee(profile);
  EXPECT_EQ(levee.riverName, "小貝川");
  EXPECT_EQ(levee.side, "左岸");
  EXPECT_EQ(levee.leveeLocation, "天端(中央)");
  EXPECT_EQ(levee.prefecture, "茨城県");
  EXPECT_EQ(levee.distancePostStart, 32000.0f);
  EXPECT_EQ(levee.distancePostStartOdd, 0.0f);
  EXPECT_EQ(levee.distancePostEnd, 33000.0f);
  EXPECT_EQ(levee.distancePostEndOdd, 0.0f);

  const SurveyInformation survey(profile);
  EXPECT_EQ(survey.method, "geophysical_exploration");
  EXPECT_EQ(survey.methodCodes[3], "resistivity");
  EXPECT_EQ(survey.methodNames[4], "表面波探査");
  EXPECT_EQ(survey.acquisitionInfo->acquisitionDate, "19990126");
  EXPECT_EQ(survey.acquisitionInfo->method, "Method");
  EXPECT_EQ(survey.analysisInfo->method, "Non-linear least square method");
  EXPECT_EQ(survey.analysisInfo->software, "Analysis software name");
  // Reading the defaults writes nothing back.
  EXPECT_FALSE(profile.Has("General", "sRiverName"));
}

TEST(SurveyMetadata, ReadsTheKeysExactlyAsSpelled) {
  MemoryProfile profile;
  profile.WriteText("General", "sSidee", "右岸");
  profile.WriteText("General", "sSide", "wrong key");
  profile.WriteText("General", "fDistancePostStarte", "100.5");
  profile.WriteText("General", "fDistancePostStart", "7");
  profile.WriteText("General", "fDistancePostEnd", "12.5");
  profile.WriteText("General", "fDistancePostEndOdd", "not a number");
  profile.WriteText("General", "sPrefecture", "埼玉県");
  profile.WriteText("General", "Investigation_sClient", "River office");
  profile.WriteText("General", "Acquisition_sOperator", "Sato");
  profile.WriteText("General", "Analysis_sAnalyst", "Suzuki");
  const LeveeInformation levee(profile);
  EXPECT_EQ(levee.side, "右岸");
  EXPECT_EQ(levee.distancePostStart, 100.5f);
  EXPECT_EQ(levee.distancePostEnd, 12.5f);
  EXPECT_EQ(levee.distancePostEndOdd, 0.0f);
  EXPECT_EQ(levee.prefecture, "埼玉県");
  EXPECT_EQ(InvestigationInformation(profile).client, "River office");
  const SurveyInformation survey(profile);
  EXPECT_EQ(survey.acquisitionInfo->operatorName, "Sato");
  EXPECT_EQ(survey.analysisInfo->analyst, "Suzuki");
}

TEST(SurveyMetadata, LeveeBlockFollowsThePurposeText) {
  const struct {
    const char* purpose;
    bool levee;
  } cases[] = {{"levee", true}, {"levee inspection", true}, {"河川堤防の調査", true},
               {"dam", false},  {"Levee", false},           {"", false}};
  for (const auto& c : cases) {
    MemoryProfile profile;
    profile.WriteText("General", "Investigation_sApplication", c.purpose);
    EXPECT_EQ(InvestigationInformation(profile).IsLeveeInvestigation(), c.levee) << c.purpose;
  }
}

}  // namespace
}  // namespace gridora
