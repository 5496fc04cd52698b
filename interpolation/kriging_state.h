#pragma once
// Variogram and kriging state, created by the first "Variogram".
namespace gridora {

class CKrigingState {
 public:
  CKrigingState() = default;
};

}  // namespace gridora
