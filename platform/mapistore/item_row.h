#pragma once
// An item as the row it is stored in: the columns of the items table and an item's values for
// them, in one order, so that a save can write just the columns that changed.
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "platform/mapistore/records.h"
#include "platform/mapistore/sqlite_db.h"

namespace mapistore {

using ColumnValue = std::variant<std::monostate, int64_t, std::string>;  // NULL, INTEGER, TEXT

// Every column but id: entry_id, folder_id, message_class, created_ms, modified_ms, the
// recurrence columns, then one per stored field.
const std::vector<std::string>& RowColumns();
std::vector<ColumnValue> RowValues(const ItemRecord& item);
// The record read from a statement selecting "id, " followed by RowColumns(); lean, the fields
// no partial record holds are not looked at.
ItemRecord ReadRow(Statement& st, bool lean = false);
// A digest of what the item holds: every column but its identity, folder and times, and its
// attachments, recipients and links; not its user properties. Two items with the same digest
// hold the same (32 hexadecimal digits, of 128 bits of XXH3).
std::string ContentDigest(const ItemRecord& item);
// The record as reading its row back would give it (field values in their stored types), parts
// included.
ItemRecord AsStored(const ItemRecord& item);
void BindValue(Statement& st, int index, const ColumnValue& value);
// A column of the statement's row; they order as SQLite orders them (NULL, numbers, texts).
ColumnValue ReadValue(Statement& st, int col);

}  // namespace mapistore
