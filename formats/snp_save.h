#pragma once
// Saving a document file to disk through the replacing writer: the old file stays
// until the new one is complete.
#include <string>

#include "document/grid_model.h"
#include "document/random_data.h"

namespace gridora {

// False with `problem` ("Cannot save PATH: WHY.") when nothing was saved.
bool SaveSnpFile(const GridModel& grid, const RandomData& points, const std::string& path, std::string& problem,
                 const std::string& trailer = {});

}  // namespace gridora
