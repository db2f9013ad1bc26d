#pragma once
// Reading items from a store file: the columns a whole or a lean item is read with, a record
// from such a row, an item's parts, and items by ID with their parts in one snapshot.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/mapistore/records.h"
#include "platform/mapistore/sqlite_db.h"

namespace mapistore {

constexpr int kBodyHead = 255;  // characters of a body a lean record holds

// The columns an item is read with: "id", every column of RowColumns() and the content digest
// (NULL for a store that has none); lean, NULL for the fields a partial record does not hold,
// the body cut to its head, and a last column saying whether it was.
const std::string& ItemColumns(bool lean, bool digest);
// How many columns those are.
int ItemColumnCount(bool lean);
// A record from a statement selecting ItemColumns(lean, ...).
ItemRecord ReadItem(Statement& st, bool lean);

// Every part of the items chosen by the condition (which takes its one value as ?1), in one
// query: user properties, attachments, recipients and links. Made, and run, inside one read
// transaction.
std::string PartsQuery(Db& db, const std::string& cond);
// Adds the parts the statement reads to the records they belong to (found by item ID; nullptr:
// not one of them), each item's in their order.
void ReadParts(Statement& st, const std::function<ItemRecord*(int64_t)>& find);

// The items of these IDs that are there, parts included, in the order of their IDs; rows and
// parts are read in one snapshot, so the parts belong to the rows read.
std::vector<ItemRecord> ReadItemsById(Db& db, const std::vector<int64_t>& ids, bool lean, bool digest);
// The record of that ID among records in the order of their IDs, or nullptr.
ItemRecord* FindById(std::vector<ItemRecord>& sorted, int64_t id);

}  // namespace mapistore
