#include "platform/mapistore/store.h"

namespace mapistore {

Store::~Store() = default;

ItemRecord Store::CopyItem(int64_t id) {
  ItemRecord copy = PrepareCopy(id);
  InsertCopy(copy);
  return copy;
}

}  // namespace mapistore
