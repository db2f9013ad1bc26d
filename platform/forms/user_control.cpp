#include "platform/forms/user_control.h"

namespace forms {

UserControl::~UserControl() = default;

}  // namespace forms
