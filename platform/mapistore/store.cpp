#include "platform/mapistore/store.h"

namespace mapistore {

Store::~Store() = default;

}  // namespace mapistore
