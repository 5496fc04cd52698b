#pragma once
// The tooltip the window shows over a dialog field: what the field does and its unit.
#include <string>

#include "platform/dialog_data.h"

namespace gridora {

// The description of what the field's batch key sets where that is the same in every
// dialog (grid spacing, limits, the map style...); else one made of its group, label,
// the kind of value and its unit. Each names the batch key, so that a script writer
// finds it.
std::string FieldTip(const DialogField& field);

}  // namespace gridora
