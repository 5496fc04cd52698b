#pragma once
// The window's sortable table of rows (Data > Points table): a click on a column title
// sorts by it, "Delete selected" returns the chosen rows.
#include <optional>
#include <vector>

#include "platform/user_interface.h"

class QWidget;

namespace gridora {

// Shows `table` modally; the 0-based rows chosen for deletion, or nothing on Close.
std::optional<std::vector<int>> ShowRowTable(const RowTable& table, QWidget* parent);

}  // namespace gridora
