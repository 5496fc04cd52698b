#pragma once
// What every use of GDAL here needs: its drivers registered once per process, and the
// text of its errors caught for our own messages instead of printed to the console.
#include <string>

namespace gridora {

// Registers GDAL's raster and vector drivers (once; later calls do nothing).
void EnsureGdalDrivers();

// While alive, GDAL's errors and warnings are kept here instead of printed.
class GdalErrorCapture {
 public:
  GdalErrorCapture();
  ~GdalErrorCapture();
  GdalErrorCapture(const GdalErrorCapture&) = delete;
  GdalErrorCapture& operator=(const GdalErrorCapture&) = delete;

  // The last error's text, or `fallback` when GDAL said nothing.
  std::string Last(const std::string& fallback) const;

  void Record(const char* text);

 private:
  std::string last_;
};

}  // namespace gridora
