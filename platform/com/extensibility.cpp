#include "platform/com/extensibility.h"

namespace com {

// Out of line, so the interface's type information lives in one library only.
IDTExtensibility2::~IDTExtensibility2() = default;

}  // namespace com
