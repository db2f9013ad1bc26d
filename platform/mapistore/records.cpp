#include "platform/mapistore/records.h"

#include <algorithm>
#include <bit>
#include <utility>

#include "platform/com/com_error.h"
#include "platform/com/text.h"

namespace mapistore {

const FieldValues::Entry* FieldValues::Find(outlook::ApptField f) const {
  if (!(held_ & Bit(f))) return nullptr;
  for (const Entry& e : entries_) {
    if (e.field == f) return &e;
  }
  return nullptr;
}

com::Variant FieldValues::Get(outlook::ApptField f) const {
  const Entry* e = Find(f);
  if (!e) return com::Variant();
  switch (e->type) {
    case com::Variant::Type::String: return com::Variant(texts_.substr(static_cast<size_t>(e->value), e->size));
    case com::Variant::Type::Date: return com::Variant(com::Date(std::bit_cast<double>(e->value)));
    case com::Variant::Type::Double: return com::Variant(std::bit_cast<double>(e->value));
    case com::Variant::Type::Boolean: return com::Variant::Boolean(e->value != 0);
    case com::Variant::Type::Integer: return com::Variant(static_cast<int16_t>(e->value));
    default: return com::Variant(static_cast<int32_t>(e->value));
  }
}

void FieldValues::Remove(outlook::ApptField f) {
  if (!(held_ & Bit(f))) return;
  held_ &= ~Bit(f);
  entries_.erase(std::remove_if(entries_.begin(), entries_.end(), [f](const Entry& e) { return e.field == f; }),
                 entries_.end());
}

void FieldValues::Set(outlook::ApptField f, const com::Variant& value) {
  Remove(f);
  // Texts set over and over (a form edits one item many times) would leave their old bytes
  // behind without end: past twice the live ones, the buffer is written anew.
  size_t live = 0;
  for (const Entry& e : entries_) live += e.size;
  if (texts_.size() > 2 * live + 64) {
    std::string kept;
    kept.reserve(live);
    for (Entry& e : entries_) {
      if (e.type != com::Variant::Type::String) continue;
      const size_t at = kept.size();
      kept.append(texts_, static_cast<size_t>(e.value), e.size);
      e.value = static_cast<int64_t>(at);
    }
    texts_ = std::move(kept);
  }
  switch (value.type()) {
    case com::Variant::Type::Empty: return;
    case com::Variant::Type::String: AddText(f, value.ToString()); return;
    case com::Variant::Type::Date: AddDate(f, value.ToDate()); return;
    case com::Variant::Type::Double:
      held_ |= Bit(f);
      entries_.push_back(Entry{f, com::Variant::Type::Double, 0, std::bit_cast<int64_t>(value.ToDouble())});
      return;
    case com::Variant::Type::Boolean: AddNumber(f, com::Variant::Type::Boolean, value.ToBool() ? 1 : 0); return;
    case com::Variant::Type::Integer: AddNumber(f, com::Variant::Type::Integer, value.ToInteger()); return;
    case com::Variant::Type::Long: AddNumber(f, com::Variant::Type::Long, value.ToLong()); return;
    case com::Variant::Type::Object: com::Raise(com::kErrTypeMismatch, "");
  }
}

void FieldValues::Reserve(size_t fields, size_t textBytes) {
  entries_.reserve(entries_.size() + fields);
  texts_.reserve(texts_.size() + textBytes);
}

void FieldValues::AddText(outlook::ApptField f, std::string_view text) {
  held_ |= Bit(f);
  entries_.push_back(Entry{f, com::Variant::Type::String, static_cast<uint32_t>(text.size()),
                           static_cast<int64_t>(texts_.size())});
  texts_.append(text);
}

void FieldValues::AddNumber(outlook::ApptField f, com::Variant::Type type, int64_t n) {
  held_ |= Bit(f);
  entries_.push_back(Entry{f, type, 0, n});
}

void FieldValues::AddDate(outlook::ApptField f, com::Date d) {
  held_ |= Bit(f);
  entries_.push_back(Entry{f, com::Variant::Type::Date, 0, std::bit_cast<int64_t>(d.serial())});
}

com::Variant ItemRecord::Field(outlook::ApptField f) const {
  com::Variant v = fields.Get(f);
  return v.IsEmpty() ? outlook::DefaultValue(outlook::Info(f).kind) : v;
}

bool ItemRecord::Holds(outlook::ApptField f) const {
  return (!partial || LeanField(f)) && !(bodyCut && f == outlook::ApptField::Body);
}

void ItemRecord::KeepUnread(const ItemRecord& stored) {
  for (const outlook::FieldInfo& f : outlook::StoredFields()) {
    if (!Holds(f.id)) fields.Set(f.id, stored.fields.Get(f.id));
  }
  partial = bodyCut = false;
}

bool LeanField(outlook::ApptField f) {
  using outlook::ApptField;
  switch (f) {
    case ApptField::Subject:
    case ApptField::Start:
    case ApptField::End:
    case ApptField::AllDayEvent:
    case ApptField::Body:  // its head
    case ApptField::Sensitivity:
    case ApptField::Floating:
      return true;
    default:
      return false;
  }
}

const UserPropRecord* ItemRecord::FindProp(const std::string& name) const {
  for (const auto& p : userProps) {
    if (com::EqualsNoCase(p.name, name)) return &p;
  }
  return nullptr;
}

UserPropRecord* ItemRecord::FindProp(const std::string& name) {
  return const_cast<UserPropRecord*>(std::as_const(*this).FindProp(name));
}

}  // namespace mapistore

namespace mapistore {

// One line per exception: "original deleted start end", then subject, location and body, each
// as its length in bytes, a colon and the bytes, so any text comes back as it went in.
std::string EncodeExceptions(const std::vector<outlook::OccurrenceChange>& list) {
  std::string out;
  for (const outlook::OccurrenceChange& c : list) {
    out += std::to_string(c.originalDate.UnixMillis()) + " " + (c.deleted ? "1" : "0") + " " +
           std::to_string(c.start.UnixMillis()) + " " + std::to_string(c.end.UnixMillis()) + " ";
    for (const std::string* s : {&c.subject, &c.location, &c.body}) out += std::to_string(s->size()) + ":" + *s;
    out += "\n";
  }
  return out;
}

namespace {

bool ReadNumber(const std::string& text, size_t& at, char end, int64_t& n) {
  const size_t stop = text.find(end, at);
  if (stop == std::string::npos || stop == at) return false;
  try {
    size_t used = 0;
    n = std::stoll(text.substr(at, stop - at), &used);
    if (used != stop - at) return false;
  } catch (const std::exception&) {
    return false;
  }
  at = stop + 1;
  return true;
}

}  // namespace

std::optional<std::vector<outlook::OccurrenceChange>> DecodeExceptions(const std::string& text) {
  std::vector<outlook::OccurrenceChange> list;
  size_t at = 0;
  while (at < text.size()) {
    outlook::OccurrenceChange c;
    int64_t original, deleted, start, end;
    if (!ReadNumber(text, at, ' ', original) || !ReadNumber(text, at, ' ', deleted) ||
        !ReadNumber(text, at, ' ', start) || !ReadNumber(text, at, ' ', end)) {
      return std::nullopt;
    }
    c.originalDate = com::Date::FromUnixMillis(original);
    c.deleted = deleted != 0;
    c.start = com::Date::FromUnixMillis(start);
    c.end = com::Date::FromUnixMillis(end);
    for (std::string* s : {&c.subject, &c.location, &c.body}) {
      int64_t size;
      if (!ReadNumber(text, at, ':', size) || size < 0 || static_cast<size_t>(size) > text.size() - at) {
        return std::nullopt;
      }
      *s = text.substr(at, static_cast<size_t>(size));
      at += static_cast<size_t>(size);
    }
    if (at >= text.size() || text[at] != '\n') return std::nullopt;
    ++at;
    list.push_back(std::move(c));
  }
  return list;
}

}  // namespace mapistore
