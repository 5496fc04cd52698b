#include "exchange/gdal_session.h"

#include <cpl_conv.h>
#include <cpl_error.h>
#include <gdal.h>
#include <ogr_api.h>

#include <mutex>

namespace gridora {
namespace {

void CPL_STDCALL KeepError(CPLErr kind, CPLErrorNum, const char* text) {
  auto* capture = static_cast<GdalErrorCapture*>(CPLGetErrorHandlerUserData());
  if (capture && kind >= CE_Failure && text) capture->Record(text);
}

}  // namespace

void EnsureGdalDrivers() {
  static std::once_flag once;
  std::call_once(once, [] { GDALAllRegister(); });
}

GdalErrorCapture::GdalErrorCapture() { CPLPushErrorHandlerEx(KeepError, this); }

GdalErrorCapture::~GdalErrorCapture() { CPLPopErrorHandler(); }

void GdalErrorCapture::Record(const char* text) { last_ = text; }

std::string GdalErrorCapture::Last(const std::string& fallback) const { return last_.empty() ? fallback : last_; }

namespace {

// The options and the values that keep a read to its one file.
constexpr std::pair<const char*, const char*> kConfinedOptions[] = {
    {"GDAL_DISABLE_READDIR_ON_OPEN", "EMPTY_DIR"},  // no side files looked for beside the file
    {"GDAL_PAM_ENABLED", "NO"},                     // no .aux.xml read (nor written)
    {"GDAL_GEOREF_SOURCES", "INTERNAL"},            // georeferencing from the file itself only
};

}  // namespace

ConfinedGdalRead::ConfinedGdalRead() {
  for (const auto& [key, value] : kConfinedOptions) {
    const char* earlier = CPLGetThreadLocalConfigOption(key, nullptr);
    saved_.push_back({key, {earlier != nullptr, earlier ? earlier : ""}});
    CPLSetThreadLocalConfigOption(key, value);
  }
}

ConfinedGdalRead::~ConfinedGdalRead() {
  for (const auto& [key, earlier] : saved_)
    CPLSetThreadLocalConfigOption(key.c_str(), earlier.first ? earlier.second.c_str() : nullptr);
}

}  // namespace gridora
