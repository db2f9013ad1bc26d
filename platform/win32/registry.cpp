#include "platform/win32/registry.h"

namespace win32 {

Registry::~Registry() = default;

Bytes DwordBytes(DWORD value) {
  return Bytes{static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value >> 16),
               static_cast<uint8_t>(value >> 24)};
}

DWORD BytesToDword(const Bytes& data) {
  DWORD v = 0;
  for (size_t i = 0; i < 4 && i < data.size(); ++i) v |= static_cast<DWORD>(data[i]) << (8 * i);
  return v;
}

}  // namespace win32
