#include "view/document_kriging_options.h"

#include <memory>

#include "view/document.h"

namespace gridora {

KrigingOptions& DocumentKrigingOptions(Document& doc, Profile& profile) {
  if (!doc.krigingOptions) doc.krigingOptions = std::make_unique<KrigingOptions>(ReadKrigingOptions(profile));
  return *doc.krigingOptions;
}

}  // namespace gridora
