#include "exchange/gdal_session.h"

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

}  // namespace gridora
