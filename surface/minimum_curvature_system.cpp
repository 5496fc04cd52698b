#include "surface/minimum_curvature_system.h"

#include <algorithm>
#include <cmath>

#include "platform/huge_pages.h"
#include "surface/fault_cuts.h"

namespace gridora {
namespace {

// Every stencil offset, before duplicates for small NY are merged.
std::vector<int> StencilOffsets(int ny) {
  std::vector<int> offsets = {0, 1, 2, ny - 1, ny, ny + 1, 2 * ny};
  std::sort(offsets.begin(), offsets.end());
  offsets.erase(std::unique(offsets.begin(), offsets.end()), offsets.end());
  return offsets;
}

// entry - amount with the difference formed in double precision and rounded once.
void SubtractInDouble(float& entry, double amount) { entry = static_cast<float>(entry - amount); }
void AddInDouble(float& entry, double amount) { entry = static_cast<float>(entry + amount); }

}  // namespace

template <typename Real>
BasicMinimumCurvatureSystem<Real>::BasicMinimumCurvatureSystem(int nx, int ny)
    : nx_(nx), ny_(ny), offsets_(StencilOffsets(ny)), slotOfOffset_(static_cast<std::size_t>(2 * ny + 1), -1) {
  for (std::size_t s = 0; s < offsets_.size(); ++s)
    slotOfOffset_[static_cast<std::size_t>(offsets_[s])] = static_cast<int>(s);
  const std::size_t n = static_cast<std::size_t>(N());
  AssignOnHugePages(entries_, n * offsets_.size(), Real{0});
  AssignOnHugePages(rhs_, n, Real{0});
}

template <typename Real>
Real BasicMinimumCurvatureSystem<Real>::Entry(std::int64_t k, std::int64_t l) const {
  if (l < k) std::swap(k, l);
  if (k < 1 || l > N() || l - k > 2 * ny_) return Real{0};
  const int slot = slotOfOffset_[static_cast<std::size_t>(l - k)];
  return slot < 0 ? Real{0}
                  : entries_[static_cast<std::size_t>(k - 1) * offsets_.size() + static_cast<std::size_t>(slot)];
}

template <typename Real>
void BasicMinimumCurvatureSystem<Real>::Clear() {
  std::fill(entries_.begin(), entries_.end(), Real{0});
  std::fill(rhs_.begin(), rhs_.end(), Real{0});
}

template <typename Real>
std::uint64_t BasicMinimumCurvatureSystem<Real>::BytesFor(int nx, int ny) {
  const std::uint64_t n = static_cast<std::uint64_t>(nx) * static_cast<std::uint64_t>(ny);
  return n * (StencilOffsets(ny).size() + 1) * sizeof(Real);
}

template class BasicMinimumCurvatureSystem<float>;
template class BasicMinimumCurvatureSystem<double>;

void AddCellTerm(MinimumCurvatureSystem& system, int i, int j, float w, const float c[4], float f) {
  const std::int64_t k = system.Node(i, j);
  const std::int64_t ny = system.NY();
  const std::int64_t nodes[4] = {k, k + 1, k + ny, k + ny + 1};
  for (int p = 0; p < 4; ++p) {
    const float h = w * c[p];
    for (int q = p; q < 4; ++q) system.At(nodes[p], nodes[q]) += h * c[q];
    system.Rhs(nodes[p]) += h * f;
  }
}

void AssembleSmoothness(MinimumCurvatureSystem& s, float w1, float w2, const FaultCuts* cuts) {
  s.Clear();
  const int nx = s.NX(), ny = s.NY();
  const double twoW2 = 2.0 * static_cast<double>(w2);
  const double fourW2 = 4.0 * static_cast<double>(w2);

  // 1. w1*(u(i+1,j) - u(i,j))^2
  for (int j = 1; j <= ny; ++j)
    for (int i = 1; i <= nx - 1; ++i) {
      if (cuts && cuts->CutX(i, j)) continue;
      const std::int64_t k = s.Node(i, j);
      s.At(k, k) += w1;
      s.At(k, k + ny) -= w1;
      s.At(k + ny, k + ny) += w1;
    }
  // 2. w1*(u(i,j+1) - u(i,j))^2
  for (int i = 1; i <= nx; ++i)
    for (int j = 1; j <= ny - 1; ++j) {
      if (cuts && cuts->CutY(i, j)) continue;
      const std::int64_t k = s.Node(i, j);
      s.At(k, k) += w1;
      s.At(k, k + 1) -= w1;
      s.At(k + 1, k + 1) += w1;
    }
  // 3 and 4. w2*(u(p) - 2u(q) + u(r))^2 along x, then along y.
  auto secondDifference = [&](std::int64_t p, std::int64_t q, std::int64_t r) {
    s.At(p, p) += w2;
    SubtractInDouble(s.At(p, q), twoW2);
    s.At(p, r) += w2;
    AddInDouble(s.At(q, q), fourW2);
    SubtractInDouble(s.At(q, r), twoW2);
    s.At(r, r) += w2;
  };
  for (int j = 1; j <= ny; ++j)
    for (int i = 2; i <= nx - 1; ++i) {
      if (cuts && (cuts->CutX(i - 1, j) || cuts->CutX(i, j))) continue;
      secondDifference(s.Node(i - 1, j), s.Node(i, j), s.Node(i + 1, j));
    }
  for (int i = 1; i <= nx; ++i)
    for (int j = 2; j <= ny - 1; ++j) {
      if (cuts && (cuts->CutY(i, j - 1) || cuts->CutY(i, j))) continue;
      secondDifference(s.Node(i, j - 1), s.Node(i, j), s.Node(i, j + 1));
    }
  // 5. 2*w2*(u(i,j) - u(i,j+1) - u(i+1,j) + u(i+1,j+1))^2
  const float twist = static_cast<float>(twoW2);
  const float twistCoefficients[4] = {1.0f, -1.0f, -1.0f, 1.0f};
  for (int i = 1; i <= nx - 1; ++i)
    for (int j = 1; j <= ny - 1; ++j) {
      if (cuts && cuts->CutCell(i, j)) continue;
      AddCellTerm(s, i, j, twist, twistCoefficients, 0.0f);
    }
}

int AttachData(MinimumCurvatureSystem& s, const std::vector<SolverPoint>& points, float DX, float DY, float wd,
               const FaultCuts* cuts) {
  const int nx = s.NX(), ny = s.NY();
  const float firstX = 0.0f, firstY = 0.0f;
  const float lastX = static_cast<float>(nx - 1) * DX;
  const float lastY = static_cast<float>(ny - 1) * DY;
  const double halfDX = static_cast<double>(DX) * 0.5, halfDY = static_cast<double>(DY) * 0.5;
  int attached = 0;
  for (const SolverPoint& point : points) {
    const double x = point.x, y = point.y;
    // A coordinate or value that is not a number (or not finite) would poison every node.
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(point.z)) continue;
    if (x < firstX - halfDX || x > lastX + halfDX || y < firstY - halfDY || y > lastY + halfDY) continue;

    const float qx = (point.x - firstX) / DX;
    const float qy = (point.y - firstY) / DY;
    const int i = std::clamp(static_cast<int>(std::floor(static_cast<double>(qx) + 1e-6)) + 1, 1, nx - 1);
    const int j = std::clamp(static_cast<int>(std::floor(static_cast<double>(qy) + 1e-6)) + 1, 1, ny - 1);

    // Local coordinates in the cell; beyond the edge nodes they leave [0, 1] and the
    // bilinear weights extrapolate.
    const float t = (point.x - static_cast<float>(i - 1) * DX) / DX;
    const float u = (point.y - static_cast<float>(j - 1) * DY) / DY;
    float c[4] = {
        static_cast<float>((1.0 - t) * (1.0 - u)),
        static_cast<float>((1.0 - t) * u),
        static_cast<float>(t * (1.0 - u)),
        t * u,
    };
    if (cuts && cuts->Touched(i, j) && !KeepOneSide(*cuts, i, j, x, y, c)) continue;
    AddCellTerm(s, i, j, wd, c, point.z);
    ++attached;
  }
  return attached;
}

}  // namespace gridora
