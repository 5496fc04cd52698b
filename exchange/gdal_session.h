#pragma once
// What every use of GDAL here needs: its drivers registered once per process, and the
// text of its errors caught for our own messages instead of printed to the console.
#include <string>
#include <utility>
#include <vector>

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

// While alive, GDAL reads on this thread only the file it is given: no side files
// found by listing its folder (.aux.xml, .ovr, .msk, world files), no georeferencing
// from outside the file, nothing from the auxiliary metadata files. Earlier values of
// the options come back when it ends.
class ConfinedGdalRead {
 public:
  ConfinedGdalRead();
  ~ConfinedGdalRead();
  ConfinedGdalRead(const ConfinedGdalRead&) = delete;
  ConfinedGdalRead& operator=(const ConfinedGdalRead&) = delete;

 private:
  // Each option with its earlier thread-local value (and whether it had one).
  std::vector<std::pair<std::string, std::pair<bool, std::string>>> saved_;
};

}  // namespace gridora
