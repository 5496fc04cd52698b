#pragma once
// The size of the matrix files that "Variogram" writes beside the data: the covariance
// matrices, the system and its inverse (twice), and for cokriging the cross matrices and
// the cross cloud. They grow as n^2: 4,000 points already make some 700 MB, so a run
// whose files would pass kAskAboveBytes asks the user first.
#include <cstddef>
#include <optional>
#include <string>

namespace gridora {

inline constexpr double kAskAboveBytes = 1e9;

// Expected bytes for n1 primary and n2 secondary points (n2 = 0: simple kriging), from
// the typical width of one entry in each file's number format.
double KrigingMatrixFileBytes(std::size_t n1, std::size_t n2);

// The question to ask before a run whose files pass kAskAboveBytes (Yes: write them), or
// nullopt when they are written without asking.
std::optional<std::string> MatrixFilesQuestion(std::size_t n1, std::size_t n2);

}  // namespace gridora
