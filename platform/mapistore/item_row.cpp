#include "platform/mapistore/item_row.h"

#include <cstdio>
#include <span>

#define XXH_INLINE_ALL
#include <xxhash.h>

#include "platform/com/com_error.h"
#include "platform/mapistore/store_errors.h"

namespace mapistore {

using outlook::FieldInfo;
using outlook::FieldKind;
using outlook::StoredFields;

namespace {

constexpr size_t kRecurFirst = 5;  // after entry_id, folder_id, message_class, created_ms, modified_ms
constexpr size_t kRecurColumns = 10;

int64_t ToColumn(FieldKind kind, const com::Variant& v) {
  switch (kind) {
    case FieldKind::Date: return v.ToDate().UnixMillis();
    case FieldKind::Boolean: return v.ToBool() ? 1 : 0;
    default: return v.ToLong();
  }
}


}  // namespace

const std::vector<std::string>& RowColumns() {
  static const std::vector<std::string> columns = [] {
    std::vector<std::string> c{"entry_id",     "folder_id",      "message_class", "created_ms",
                               "modified_ms",  "recur_type",     "recur_interval", "recur_mask",
                               "recur_day",    "recur_month",    "recur_start_ms", "recur_end_ms",
                               "recur_instance", "recur_occurrences", "recur_exceptions"};
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
    v.emplace_back(int64_t{r->instance});
    v.emplace_back(int64_t{r->occurrences});
    v.emplace_back(EncodeExceptions(r->exceptions));
  } else {
    v.resize(v.size() + kRecurColumns);
  }
  for (const FieldInfo& f : StoredFields()) {
    const com::Variant value = item.Field(f.id);
    if (f.kind == FieldKind::Text) v.emplace_back(value.ToString());
    else v.emplace_back(ToColumn(f.kind, value));
  }
  return v;
}

namespace {

// One column of a row, from a statement or from values in RowColumns() order.
struct StatementColumns {
  Statement& st;
  int first;  // the statement's column for RowColumns()[0]
  int64_t Int(size_t i) { return st.Int(first + static_cast<int>(i)); }
  std::string Text(size_t i) { return st.Text(first + static_cast<int>(i)); }
  std::string_view TextView(size_t i) { return st.TextView(first + static_cast<int>(i)); }
  bool IsNull(size_t i) { return st.IsNull(first + static_cast<int>(i)); }
};

struct ValueColumns {
  const std::vector<ColumnValue>& v;
  int64_t Int(size_t i) {
    const auto* n = std::get_if<int64_t>(&v[i]);
    return n ? *n : 0;
  }
  std::string Text(size_t i) {
    const auto* s = std::get_if<std::string>(&v[i]);
    return s ? *s : std::string();
  }
  std::string_view TextView(size_t i) {
    const auto* s = std::get_if<std::string>(&v[i]);
    return s ? std::string_view(*s) : std::string_view();
  }
  bool IsNull(size_t i) { return std::holds_alternative<std::monostate>(v[i]); }
};

// A stored field and its column among RowColumns().
struct FieldColumn {
  const FieldInfo* field;
  size_t column;
};

// The fields a read fills, a partial one (LeanField) or a whole one, with their columns.
const std::vector<FieldColumn>& FieldColumns(bool lean) {
  static const auto columns = [](bool lean) {
    std::vector<FieldColumn> read;
    size_t column = kRecurFirst + kRecurColumns;
    for (const FieldInfo& f : StoredFields()) {
      if (!lean || LeanField(f.id)) read.push_back({&f, column});
      ++column;
    }
    return read;
  };
  static const std::vector<FieldColumn> whole = columns(false), partial = columns(true);
  return lean ? partial : whole;
}

template <typename Columns>
void FillRecord(ItemRecord& r, Columns c, bool lean = false) {
  r.entryId = c.Text(0);
  r.folderId = c.Int(1);
  r.messageClass = c.Text(2);
  r.createdMs = c.Int(3);
  r.modifiedMs = c.Int(4);
  r.recurrence.reset();
  if (!c.IsNull(kRecurFirst)) {
    RecurrenceRecord rec;
    rec.type = static_cast<int>(c.Int(kRecurFirst));
    rec.interval = static_cast<int>(c.Int(kRecurFirst + 1));
    rec.dayOfWeekMask = static_cast<int>(c.Int(kRecurFirst + 2));
    rec.dayOfMonth = static_cast<int>(c.Int(kRecurFirst + 3));
    rec.monthOfYear = static_cast<int>(c.Int(kRecurFirst + 4));
    rec.patternStart = com::Date::FromUnixMillis(c.Int(kRecurFirst + 5));
    if (!c.IsNull(kRecurFirst + 6)) rec.patternEnd = com::Date::FromUnixMillis(c.Int(kRecurFirst + 6));
    // Stores written before the pattern had these hold NULL here: no instance, count or exception.
    rec.instance = static_cast<int>(c.Int(kRecurFirst + 7));
    rec.occurrences = static_cast<int>(c.Int(kRecurFirst + 8));
    auto exceptions = DecodeExceptions(c.Text(kRecurFirst + 9));
    if (!exceptions) com::Raise(kErrCorruptStore, "The recurrence exceptions of item " + r.entryId + " are damaged.");
    rec.exceptions = std::move(*exceptions);
    r.recurrence = rec;
  }
  // A column holding the field's default leaves the field unset: it reads the same. The values
  // are gathered first, so the record's values go in at their size in one go.
  struct Value {
    outlook::ApptField field;
    FieldKind kind;
    int64_t n;
    std::string_view text;
  };
  Value set[outlook::kApptFieldCount];
  size_t count = 0, textBytes = 0;
  static const int64_t noDate = com::Date(0).UnixMillis();  // a date field's default, as stored
  for (const FieldColumn& fc : FieldColumns(lean)) {
    const FieldInfo& f = *fc.field;
    if (f.kind == FieldKind::Text) {
      if (const std::string_view text = c.TextView(fc.column); !text.empty()) {
        set[count++] = {f.id, f.kind, 0, text};
        textBytes += text.size();
      }
    } else {
      const int64_t n = c.Int(fc.column);
      if (n != (f.kind == FieldKind::Date ? noDate : 0)) set[count++] = {f.id, f.kind, n, {}};
    }
  }
  r.fields = FieldValues();
  r.fields.Reserve(count, textBytes);
  for (const Value& v : std::span(set, count)) {
    switch (v.kind) {
      case FieldKind::Text: r.fields.AddText(v.field, v.text); break;
      case FieldKind::Date: r.fields.AddDate(v.field, com::Date::FromUnixMillis(v.n)); break;
      case FieldKind::Boolean: r.fields.AddNumber(v.field, com::Variant::Type::Boolean, 1); break;
      case FieldKind::Long: r.fields.AddNumber(v.field, com::Variant::Type::Long, static_cast<int32_t>(v.n)); break;
    }
  }
}

}  // namespace

ItemRecord ReadRow(Statement& st, bool lean) {
  ItemRecord r;
  r.id = st.Int(0);
  FillRecord(r, StatementColumns{st, 1}, lean);
  return r;
}

std::string ContentDigest(const ItemRecord& item) {
  // Each value tagged and each text preceded by its length, so no two contents read alike.
  std::string bytes;
  auto number = [&](char tag, uint64_t n) {
    bytes += tag;
    bytes.append(reinterpret_cast<const char*>(&n), sizeof n);
  };
  auto text = [&](const std::string& t) {
    number('t', t.size());
    bytes += t;
  };
  const std::vector<ColumnValue> values = RowValues(item);
  for (size_t i = 0; i < values.size(); ++i) {
    if (i < kRecurFirst && i != 2) continue;  // entry_id, folder_id, created_ms, modified_ms
    if (const auto* n = std::get_if<int64_t>(&values[i])) number('i', static_cast<uint64_t>(*n));
    else if (const auto* t = std::get_if<std::string>(&values[i])) text(*t);
    else bytes += 'n';
  }
  number('A', item.attachments.size());
  for (const AttachmentRecord& a : item.attachments) {
    text(a.fileName);
    text(a.displayName);
  }
  number('R', item.recipients.size());
  for (const RecipientRecord& r : item.recipients) {
    text(r.name);
    text(r.address);
  }
  number('L', item.links.size());
  for (const std::string& l : item.links) text(l);
  const XXH128_hash_t h = XXH3_128bits(bytes.data(), bytes.size());
  char hex[33];
  std::snprintf(hex, sizeof hex, "%016llx%016llx", static_cast<unsigned long long>(h.high64),
                static_cast<unsigned long long>(h.low64));
  return hex;
}

ItemRecord AsStored(const ItemRecord& item) {
  ItemRecord r = item;
  FillRecord(r, ValueColumns{RowValues(item)});
  for (UserPropRecord& p : r.userProps) p.value = com::Variant(p.value.ToString());
  return r;
}

ColumnValue ReadValue(Statement& st, int col) {
  if (st.IsNull(col)) return std::monostate();
  if (st.IsInteger(col)) return st.Int(col);
  return st.Text(col);
}

void BindValue(Statement& st, int index, const ColumnValue& value) {
  if (const auto* n = std::get_if<int64_t>(&value)) st.Bind(index, *n);
  else if (const auto* s = std::get_if<std::string>(&value)) st.Bind(index, *s);
  else st.BindNull(index);
}

}  // namespace mapistore
