#include "platform/mapistore/records.h"

#include "platform/com/text.h"

namespace mapistore {

com::Variant& FieldValues::operator[](outlook::ApptField f) {
  for (auto& [field, value] : values_) {
    if (field == f) return value;
  }
  values_.emplace_back();
  values_.back().first = f;
  return values_.back().second;
}

const com::Variant& FieldValues::operator[](outlook::ApptField f) const {
  static const com::Variant kEmpty;
  for (const auto& [field, value] : values_) {
    if (field == f) return value;
  }
  return kEmpty;
}

com::Variant ItemRecord::Field(outlook::ApptField f) const {
  const com::Variant& v = fields[f];
  return v.IsEmpty() ? outlook::DefaultValue(outlook::Info(f).kind) : v;
}

void ItemRecord::KeepUnread(const ItemRecord& stored) {
  if (bodyCut) fields[outlook::ApptField::Body] = stored.fields[outlook::ApptField::Body];
  bodyCut = false;
}

UserPropRecord* ItemRecord::FindProp(const std::string& name) {
  for (auto& p : userProps) {
    if (com::EqualsNoCase(p.name, name)) return &p;
  }
  return nullptr;
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
