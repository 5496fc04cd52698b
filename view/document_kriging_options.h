#pragma once
// The document's kriging options: made from the profile the first time a command asks.
#include "geostat/kriging_options.h"

namespace gridora {

class Document;
class Profile;

KrigingOptions& DocumentKrigingOptions(Document& doc, Profile& profile);

}  // namespace gridora
