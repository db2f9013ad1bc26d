// The library's entry point for class creation by name.
#include "addin/quorvane_class.h"
#include "platform/com/class_registry.h"
#include "platform/com/text.h"

extern "C" __attribute__((visibility("default"))) com::ComObject* ComCreateInstance(const char* progId) {
  if (progId && com::EqualsNoCase(progId, quorvane::kProgId)) return new quorvane::QuorvaneClass();
  return nullptr;
}
