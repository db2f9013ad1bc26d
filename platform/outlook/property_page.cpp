#include "platform/outlook/property_page.h"

namespace outlook {

PropertyPageSite::~PropertyPageSite() = default;
PropertyPage::~PropertyPage() = default;

}  // namespace outlook
