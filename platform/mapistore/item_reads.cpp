#include "platform/mapistore/item_reads.h"

#include <algorithm>
#include <set>
#include <tuple>

#include "platform/mapistore/item_row.h"

namespace mapistore {

const std::string& ItemColumns(bool lean, bool digest) {
  static const auto columns = [](bool lean, bool digest) {
    std::set<std::string> unread;
    for (const outlook::FieldInfo& f : outlook::StoredFields()) {
      if (lean && !LeanField(f.id)) unread.insert(f.column);
    }
    const std::string body = outlook::Info(outlook::ApptField::Body).column;
    const std::string head = std::to_string(kBodyHead);
    std::string c = "id";
    for (const std::string& column : RowColumns()) {
      c += ", " + (lean && column == body ? "substr(" + body + ", 1, " + head + ")" : unread.count(column) ? "NULL" : column);
    }
    c += digest ? ", content_digest" : ", NULL";
    return lean ? c + ", length(" + body + ") > " + head : c;
  };
  static const std::string all[2][2] = {{columns(false, false), columns(false, true)},
                                        {columns(true, false), columns(true, true)}};
  return all[lean][digest];
}

int ItemColumnCount(bool lean) { return static_cast<int>(RowColumns().size()) + (lean ? 3 : 2); }

ItemRecord ReadItem(Statement& st, bool lean) {
  ItemRecord r = ReadRow(st, lean);
  const int digest = ItemColumnCount(false) - 1;
  if (!st.IsNull(digest)) r.digest = st.Text(digest);
  r.partial = lean;
  r.bodyCut = lean && st.Int(digest + 1) != 0;
  return r;
}

std::string PartsQuery(Db& db, const std::string& cond) {
  // A calendar seldom has attachments, recipients or links at all: a table without a row is
  // left out rather than looked into for every item.
  auto has = db.Prepare(
      "SELECT EXISTS(SELECT 1 FROM attachments), EXISTS(SELECT 1 FROM recipients), EXISTS(SELECT 1 FROM links)");
  has.Step();
  std::string sql = "SELECT 0, pos, name, value, type, item_id FROM user_props WHERE item_id " + cond;
  if (has.Int(0)) sql += " UNION ALL SELECT 1, pos, file_name, display_name, 0, item_id FROM attachments WHERE item_id " + cond;
  if (has.Int(1)) sql += " UNION ALL SELECT 2, pos, name, address, 0, item_id FROM recipients WHERE item_id " + cond;
  if (has.Int(2)) sql += " UNION ALL SELECT 3, pos, name, '', 0, item_id FROM links WHERE item_id " + cond;
  return sql;
}

namespace {
// Where a part read went: its item, which of the item's lists, its place there and its stored
// position.
struct Placed {
  ItemRecord* record;
  int64_t kind, pos;
  size_t index;
  bool operator<(const Placed& o) const { return std::tie(record, kind, pos) < std::tie(o.record, o.kind, o.pos); }
};

// Puts the parts of one group (in order of position) into the places they took, in that order.
template <typename T>
void Reorder(std::vector<T>& list, const Placed* first, const Placed* last) {
  if (last - first == 2) {  // the usual case: two user properties, read by name
    std::swap(list[first->index], list[(first + 1)->index]);
    return;
  }
  std::vector<T> values;
  std::vector<size_t> places;
  for (const Placed* p = first; p != last; ++p) {
    values.push_back(std::move(list[p->index]));
    places.push_back(p->index);
  }
  std::sort(places.begin(), places.end());
  for (size_t k = 0; k < places.size(); ++k) list[places[k]] = std::move(values[k]);
}
}  // namespace

void ReadParts(Statement& st, const std::function<ItemRecord*(int64_t)>& find) {
  // Each part goes straight to its item; put in order afterwards where rows came in another (a
  // table's rows come in the order of their keys, user properties by name): an SQLite sort costs
  // a temporary table per part even for a single item.
  std::vector<Placed> placed;
  bool together = true;  // each item's parts of a kind came one after another
  while (st.Step()) {
    ItemRecord* r = find(st.Int(5));
    if (!r) continue;
    const int64_t kind = st.Int(0);
    size_t index = 0;
    switch (kind) {
      case 0:
        index = r->userProps.size();
        if (index == 0) r->userProps.reserve(2);  // the passes' two markers
        r->userProps.push_back(UserPropRecord{st.Text(2), static_cast<int>(st.Int(4)), com::Variant(st.Text(3))});
        break;
      case 1:
        index = r->attachments.size();
        r->attachments.push_back(AttachmentRecord{st.Text(2), st.Text(3)});
        break;
      case 2:
        index = r->recipients.size();
        r->recipients.push_back(RecipientRecord{st.Text(2), st.Text(3)});
        break;
      default:
        index = r->links.size();
        r->links.push_back(st.Text(2));
        break;
    }
    if (index > 0 && (placed.empty() || placed.back().record != r || placed.back().kind != kind)) together = false;
    placed.push_back(Placed{r, kind, st.Int(1), index});
  }
  // Usually each item's group is together and only it needs sorting; otherwise all of them.
  if (!together) std::sort(placed.begin(), placed.end());
  for (size_t i = 0; i < placed.size();) {
    size_t end = i + 1;
    while (end < placed.size() && placed[end].record == placed[i].record && placed[end].kind == placed[i].kind) ++end;
    Placed* first = &placed[i];
    Placed* last = first + (end - i);
    if (together) std::sort(first, last);
    bool inOrder = true;
    for (const Placed* p = first + 1; p < last; ++p) inOrder = inOrder && p->index > (p - 1)->index;
    if (!inOrder) {
      ItemRecord& r = *first->record;
      switch (first->kind) {
        case 0: Reorder(r.userProps, first, last); break;
        case 1: Reorder(r.attachments, first, last); break;
        case 2: Reorder(r.recipients, first, last); break;
        default: Reorder(r.links, first, last); break;
      }
    }
    i = end;
  }
}

std::vector<ItemRecord> ReadItemsById(Db& db, const std::vector<int64_t>& ids, bool lean, bool digest) {
  std::vector<ItemRecord> read;
  if (ids.empty()) return read;
  std::string list = "[";
  for (int64_t id : ids) list += (list.size() > 1 ? "," : "") + std::to_string(id);
  list += "]";
  Transaction tx(db, Transaction::Kind::Read);
  const std::string chosen = "IN (SELECT value FROM json_each(?1))";
  auto rows = db.Prepare("SELECT " + ItemColumns(lean, digest) + " FROM items WHERE id " + chosen);
  rows.Bind(1, list);
  while (rows.Step()) read.push_back(ReadItem(rows, lean));
  // SQLite hands them over in the order of their IDs already; the parts find theirs by it.
  auto byId = [](const ItemRecord& a, const ItemRecord& b) { return a.id < b.id; };
  if (!std::is_sorted(read.begin(), read.end(), byId)) std::sort(read.begin(), read.end(), byId);
  auto parts = db.Prepare(PartsQuery(db, chosen));
  parts.Bind(1, list);
  ReadParts(parts, [&](int64_t itemId) { return FindById(read, itemId); });
  tx.Commit();
  return read;
}

ItemRecord* FindById(std::vector<ItemRecord>& sorted, int64_t id) {
  auto it = std::lower_bound(sorted.begin(), sorted.end(), id,
                             [](const ItemRecord& r, int64_t wanted) { return r.id < wanted; });
  return it != sorted.end() && it->id == id ? &*it : nullptr;
}

}  // namespace mapistore
