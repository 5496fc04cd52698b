#include "geostat/kriging_file_size.h"

#include <fmt/printf.h>

namespace gridora {
namespace {

// Bytes per entry: "%e " is 13 characters, 14 with a sign; the inverse dump's "%f " of
// values below one is 9 or 10 characters, two bytes each in UTF-16; a line of the cross
// cloud ("%d %d %d %f %f" in UTF-16) about 40 characters.
constexpr double kPositiveExponent = 13.0;
constexpr double kSignedExponent = 13.5;
constexpr double kInverseDump = 19.0;
constexpr double kCloudLine = 80.0;

}  // namespace

double KrigingMatrixFileBytes(std::size_t n1, std::size_t n2) {
  const double a = static_cast<double>(n1), b = static_cast<double>(n2), n = a + b;
  // kriging_matrix.txt, kriging_matrix_inv.txt and inverse_matrix.txt
  double bytes = a * a * kPositiveExponent + n * n * (kSignedExponent + kInverseDump);
  if (n2 > 0) {
    // kriging_matrix_c22.txt, kriging_matrix_c12.txt, cokriging_matrix.txt, the cross
    // distance and dissimilarity matrices and variogram_cloud_cross.txt
    bytes += b * b * kPositiveExponent + a * b * kSignedExponent + n * n * kSignedExponent +
             2 * a * b * kPositiveExponent + a * b * kCloudLine;
  }
  return bytes;
}

std::optional<std::string> MatrixFilesQuestion(std::size_t n1, std::size_t n2) {
  const double bytes = KrigingMatrixFileBytes(n1, n2);
  if (bytes <= kAskAboveBytes) return std::nullopt;
  return fmt::sprintf(
      "The matrix files of kriging %d data points (kriging_matrix.txt, inverse_matrix.txt and their kin) will "
      "take about %.1f GB of disk space. Write them? With No, kriging runs without writing them.",
      static_cast<int>(n1 + n2), bytes / (1024.0 * 1024.0 * 1024.0));
}

}  // namespace gridora
