#pragma once
// The document's kriging options: made from the profile the first time a command asks.
#include "geostat/kriging_options.h"

namespace gridora {

class CGridoraDoc;
class Profile;

KrigingOptions& DocumentKrigingOptions(CGridoraDoc& doc, Profile& profile);

}  // namespace gridora
