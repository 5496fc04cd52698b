// Coordinate reference systems named by the user: codes and WKT are parsed, nothing that
// would make GDAL or PROJ read a file or ask the network is.
#include "exchange/crs_text.h"

#include <gtest/gtest.h>
#include <ogr_spatialref.h>

#include "exchange/gdal_session.h"
#include "support/test_support.h"

namespace gridora {
namespace {

constexpr const char* kWkt =
    "GEOGCS[\"WGS 84\",DATUM[\"WGS_1984\",SPHEROID[\"WGS 84\",6378137,298.257223563]],PRIMEM[\"Greenwich\",0],"
    "UNIT[\"degree\",0.0174532925199433]]";

TEST(CrsText, CodesAndWktAreParsedPathsUrlsAndOtherFormsRefused) {
  EnsureGdalDrivers();
  test::TempFolder folder;
  const auto wktFile = folder / "crs.prj";
  test::WriteFileBytes(wktFile, kWkt);
  struct Case {
    std::string text;
    bool accepted;
    const char* name;  // of the system read, when accepted
  };
  const Case cases[] = {
      {"EPSG:6677", true, "JGD2011 / Japan Plane Rectangular CS IX"},
      {" epsg:4326 ", true, "WGS 84"},
      {"ESRI:102100", true, "WGS_1984_Web_Mercator_Auxiliary_Sphere"},
      {kWkt, true, "WGS 84"},
      {wktFile.string(), false, nullptr},
      {"file://" + wktFile.string(), false, nullptr},
      {"https://example.invalid/crs.prj", false, nullptr},
      {"http://www.opengis.net/def/crs/EPSG/0/4326", false, nullptr},
      {"+proj=longlat +datum=WGS84", false, nullptr},
      {"+init=epsg:4326", false, nullptr},
      {"EPSG:no such", false, nullptr},
      {"EPSG:999999999", false, nullptr},
      {"PROJCS[", false, nullptr},
      {"", false, nullptr},
  };
  for (const Case& c : cases) {
    OGRSpatialReference reference;
    std::string why;
    EXPECT_EQ(ParseCrs(c.text, reference, why), c.accepted) << c.text << ": " << why;
    if (c.accepted) {
      EXPECT_STREQ(reference.GetName(), c.name) << c.text;
    } else {
      EXPECT_NE(why.find("is not known"), std::string::npos) << c.text << ": " << why;
    }
  }
}

}  // namespace
}  // namespace gridora
