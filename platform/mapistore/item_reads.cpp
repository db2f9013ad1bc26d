#include "platform/mapistore/item_reads.h"

#include <algorithm>
#include <tuple>

#include "platform/mapistore/item_row.h"

namespace mapistore {

const std::string& ItemColumns() {
  static const std::string columns = [] {
    std::string c = "id";
    for (const std::string& column : RowColumns()) c += ", " + column;
    return c;
  }();
  return columns;
}

const std::string& LeanColumns() {
  static const std::string columns = [] {
    const std::string body = outlook::Info(outlook::ApptField::Body).column;
    const std::string head = std::to_string(kBodyHead);
    std::string c = "id";
    for (const std::string& column : RowColumns()) c += ", " + (column == body ? "substr(" + body + ", 1, " + head + ")" : column);
    return c + ", length(" + body + ") > " + head;
  }();
  return columns;
}

ItemRecord ReadItem(Statement& st, bool lean) {
  ItemRecord r = ReadRow(st);
  r.bodyCut = lean && st.Int(static_cast<int>(RowColumns().size()) + 1) != 0;
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
struct PartRow {
  int64_t itemId, kind, pos;
  std::string name, value;
  int type;
  bool operator<(const PartRow& o) const {
    return std::tie(itemId, kind, pos) < std::tie(o.itemId, o.kind, o.pos);
  }
};
}  // namespace

void ReadParts(Statement& st, const std::function<ItemRecord*(int64_t)>& find) {
  // Put in order here, not by SQLite: its sort costs a temporary table per part even for a
  // single item.
  std::vector<PartRow> rows;
  while (st.Step()) {
    rows.push_back(PartRow{st.Int(5), st.Int(0), st.Int(1), st.Text(2), st.Text(3), static_cast<int>(st.Int(4))});
  }
  if (!std::is_sorted(rows.begin(), rows.end())) std::sort(rows.begin(), rows.end());
  for (PartRow& p : rows) {
    ItemRecord* r = find(p.itemId);
    if (!r) continue;
    switch (p.kind) {
      case 0: r->userProps.push_back(UserPropRecord{std::move(p.name), p.type, std::move(p.value)}); break;
      case 1: r->attachments.push_back(AttachmentRecord{std::move(p.name), std::move(p.value)}); break;
      case 2: r->recipients.push_back(RecipientRecord{std::move(p.name), std::move(p.value)}); break;
      default: r->links.push_back(std::move(p.name)); break;
    }
  }
}

std::vector<ItemRecord> ReadItemsById(Db& db, const std::vector<int64_t>& ids, bool lean) {
  std::vector<ItemRecord> read;
  if (ids.empty()) return read;
  std::string list = "[";
  for (int64_t id : ids) list += (list.size() > 1 ? "," : "") + std::to_string(id);
  list += "]";
  Transaction tx(db, Transaction::Kind::Read);
  const std::string chosen = "IN (SELECT value FROM json_each(?1))";
  auto rows = db.Prepare("SELECT " + (lean ? LeanColumns() : ItemColumns()) + " FROM items WHERE id " + chosen);
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
