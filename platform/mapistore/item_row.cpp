#include "platform/mapistore/item_row.h"

namespace mapistore {

using outlook::FieldInfo;
using outlook::FieldKind;
using outlook::StoredFields;

namespace {

constexpr size_t kRecurFirst = 5;  // after entry_id, folder_id, message_class, created_ms, modified_ms

int64_t ToColumn(FieldKind kind, const com::Variant& v) {
  switch (kind) {
    case FieldKind::Date: return v.ToDate().UnixMillis();
    case FieldKind::Boolean: return v.ToBool() ? 1 : 0;
    default: return v.ToLong();
  }
}

com::Variant FromColumn(FieldKind kind, Statement& st, int col) {
  switch (kind) {
    case FieldKind::Text: return com::Variant(st.Text(col));
    case FieldKind::Date: return com::Variant(com::Date::FromUnixMillis(st.Int(col)));
    case FieldKind::Boolean: return com::Variant::Boolean(st.Int(col) != 0);
    case FieldKind::Long: return com::Variant(static_cast<int32_t>(st.Int(col)));
  }
  return {};
}

}  // namespace

const std::vector<std::string>& RowColumns() {
  static const std::vector<std::string> columns = [] {
    std::vector<std::string> c{"entry_id",     "folder_id",      "message_class", "created_ms",
                               "modified_ms",  "recur_type",     "recur_interval", "recur_mask",
                               "recur_day",    "recur_month",    "recur_start_ms", "recur_end_ms"};
    for (const FieldInfo& f : StoredFields()) c.push_back(f.column);
    return c;
  }();
  return columns;
}

std::vector<ColumnValue> RowValues(const ItemRecord& item) {
  std::vector<ColumnValue> v;
  v.reserve(RowColumns().size());
  v.emplace_back(item.entryId);
  v.emplace_back(item.folderId);
  v.emplace_back(item.messageClass);
  v.emplace_back(item.createdMs);
  v.emplace_back(item.modifiedMs);
  if (const auto& r = item.recurrence) {
    for (int64_t n : {int64_t{r->type}, int64_t{r->interval}, int64_t{r->dayOfWeekMask}, int64_t{r->dayOfMonth},
                      int64_t{r->monthOfYear}, r->patternStart.UnixMillis()}) {
      v.emplace_back(n);
    }
    if (r->patternEnd) v.emplace_back(r->patternEnd->UnixMillis());
    else v.emplace_back();
  } else {
    v.resize(v.size() + 7);
  }
  for (const FieldInfo& f : StoredFields()) {
    const com::Variant value = item.Field(f.id);
    if (f.kind == FieldKind::Text) v.emplace_back(value.ToString());
    else v.emplace_back(ToColumn(f.kind, value));
  }
  return v;
}

ItemRecord ReadRow(Statement& st) {
  ItemRecord r;
  r.id = st.Int(0);
  r.entryId = st.Text(1);
  r.folderId = st.Int(2);
  r.messageClass = st.Text(3);
  r.createdMs = st.Int(4);
  r.modifiedMs = st.Int(5);
  const int recur = 1 + static_cast<int>(kRecurFirst);
  if (!st.IsNull(recur)) {
    RecurrenceRecord rec;
    rec.type = static_cast<int>(st.Int(recur));
    rec.interval = static_cast<int>(st.Int(recur + 1));
    rec.dayOfWeekMask = static_cast<int>(st.Int(recur + 2));
    rec.dayOfMonth = static_cast<int>(st.Int(recur + 3));
    rec.monthOfYear = static_cast<int>(st.Int(recur + 4));
    rec.patternStart = com::Date::FromUnixMillis(st.Int(recur + 5));
    if (!st.IsNull(recur + 6)) rec.patternEnd = com::Date::FromUnixMillis(st.Int(recur + 6));
    r.recurrence = rec;
  }
  int col = recur + 7;
  for (const FieldInfo& f : StoredFields()) r.fields[f.id] = FromColumn(f.kind, st, col++);
  return r;
}

void BindValue(Statement& st, int index, const ColumnValue& value) {
  if (const auto* n = std::get_if<int64_t>(&value)) st.Bind(index, *n);
  else if (const auto* s = std::get_if<std::string>(&value)) st.Bind(index, *s);
  else st.BindNull(index);
}

}  // namespace mapistore
