#include "geostat/kriging_state.h"

#include <algorithm>
#include <filesystem>

#include "linalg/matrix_text.h"
#include "platform/feedback.h"

namespace gridora {

CKrigingState::CKrigingState(std::string folder, int showMessages)
    : folder(std::move(folder)),
      showMessages(showMessages),
      primary(std::make_unique<CVariogramModel>(this->folder, showMessages)) {}

bool CKrigingState::LoadVariable(int n, const DataPoint* points, int secondaryFlag, UserInterface* ui,
                                 bool withMatrices) {
  if (!primary) return false;
  // SetData centres the values in place; the document's points never change.
  std::vector<double> xs(static_cast<std::size_t>(n)), ys(xs), zs(xs);
  for (int i = 0; i < n; ++i) {
    xs[i] = points[i].x;
    ys[i] = points[i].y;
    zs[i] = points[i].z;
  }
  CVariogramModel* model = primary.get();
  int kind = 0;
  if (secondaryFlag == 1) {
    secondary = std::make_unique<CVariogramModel>(folder, showMessages);
    model = secondary.get();
    kind = 1;
  }
  if (withMatrices)
    model->SetData(n, xs.data(), ys.data(), zs.data(), kind, ui);
  else
    model->SetDataWithoutMatrices(n, xs.data(), ys.data(), zs.data(), kind, ui);
  return true;
}

bool CKrigingState::HasSecondary() const { return secondary && secondary->count > 0; }

bool CKrigingState::Ordinary() const {
  return primary && !HasSecondary() && primary->options.type == KrigingType::Ordinary;
}

int CKrigingState::SystemSize() const {
  const int n1 = primary ? primary->count : 0;
  if (HasSecondary()) return n1 + secondary->count;
  return Ordinary() ? n1 + 1 : n1;
}

CMatrix CKrigingState::OrdinarySystem() const { return BorderedSystem(primary->covarianceMatrix); }

CMatrix BorderedSystem(const CMatrix& K) {
  const int n = K.rows;
  CMatrix system(n + 1, n + 1);
  for (int i = 0; i < n; ++i) {
    std::copy(K.values[i], K.values[i] + n, system.values[i]);
    system(i, n) = 1.0;
    system(n, i) = 1.0;
  }
  return system;
}

CMatrix CKrigingState::CokrigingSystem() const {
  return BlockMatrix(primary->covarianceMatrix, secondary->covarianceMatrix, cross->covarianceMatrix);
}

SystemInverseStatus CKrigingState::InvertSystem(const CMatrix& M, Feedback* feedback) {
  SystemInverse result = InvertSystemMatrix(M, feedback);
  if (result.status != SystemInverseStatus::Inverted) return result.status;
  inverse = std::make_unique<CMatrix>(std::move(result.inverse));
  WriteInverseFiles();
  return SystemInverseStatus::Inverted;
}

void CKrigingState::WriteInverseFiles() const {
  if (!inverse || !writeMatrixFiles) return;
  WriteMatrixText(*inverse, "inverse_matrix.txt", MatrixTextKind::InverseDump);
  WriteMatrixText(*inverse, std::filesystem::path(folder) / "kriging_matrix_inv.txt", MatrixTextKind::MatrixLayoutOne);
}

void CKrigingState::AdoptRun(CKrigingState&& run) {
  primary = std::move(run.primary);
  secondary = std::move(run.secondary);
  cross = std::move(run.cross);
  inverse = std::move(run.inverse);
  crossValidation.reset();
  writeMatrixFiles = run.writeMatrixFiles;
}

}  // namespace gridora
