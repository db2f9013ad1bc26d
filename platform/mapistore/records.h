#pragma once
// What the store keeps, as plain values: folders, items and their parts.
#include <cstdint>
#include <memory>
#include <utility>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com/variant.h"
#include "platform/outlook/appointment_fields.h"
#include "platform/outlook/appointment_item.h"

namespace mapistore {

struct FolderRecord {
  int64_t id = 0;
  int64_t parentId = 0;  // 0 for the store's root
  std::string entryId;
  std::string name;
  int itemType = 1;
};

struct UserPropRecord {
  std::string name;
  int type = 1;
  com::Variant value;
};

struct AttachmentRecord {
  std::string fileName;
  std::string displayName;
};

struct RecipientRecord {
  std::string name;
  std::string address;
};

struct RecurrenceRecord {
  int type = 1;  // weekly
  int interval = 1;
  int dayOfWeekMask = 0;
  int dayOfMonth = 0;
  int monthOfYear = 0;
  int instance = 0;  // month-nth and year-nth: 1 to 4, 5 = last
  int occurrences = 0;  // the series ends after so many; 0: on patternEnd or never
  com::Date patternStart;
  std::optional<com::Date> patternEnd;  // none: no end date
  std::vector<outlook::OccurrenceChange> exceptions;  // in order of original date
};

// The exceptions as the one column that holds them, and back; nullopt when the text is damaged.
std::string EncodeExceptions(const std::vector<outlook::OccurrenceChange>& list);
std::optional<std::vector<outlook::OccurrenceChange>> DecodeExceptions(const std::string& text);

// The values of the stored fields an item has; one never set is Empty and reads as the field's
// default. Most fields of most items keep their default, so only the others are held, and
// compactly: a pass holds and copies thousands of items, and every text of an item is in one
// buffer.
class FieldValues {
 public:
  // The value set for the field, or Empty.
  com::Variant Get(outlook::ApptField f) const;
  // Sets the field's value; Empty takes it away. An object cannot be a field's value.
  void Set(outlook::ApptField f, const com::Variant& value);
  // Adds the value of a field not held yet, for an item being read: sizes are given ahead so
  // that the values go in without moving.
  void Reserve(size_t fields, size_t textBytes);
  void AddText(outlook::ApptField f, std::string_view text);
  void AddNumber(outlook::ApptField f, com::Variant::Type type, int64_t n);  // Integer, Long, Boolean
  void AddDate(outlook::ApptField f, com::Date d);
  size_t TextBytes() const { return texts_.size(); }  // old texts included

 private:
  struct Entry {
    outlook::ApptField field;
    com::Variant::Type type;
    uint32_t size = 0;  // of a text, at offset value in texts_
    int64_t value = 0;  // a number, a date's bits, or a text's offset
  };
  const Entry* Find(outlook::ApptField f) const;
  void Remove(outlook::ApptField f);

  static constexpr uint64_t Bit(outlook::ApptField f) { return uint64_t{1} << static_cast<unsigned>(f); }
  static_assert(outlook::kApptFieldCount <= 64);
  uint64_t held_ = 0;  // a bit per field held: most fields asked for are not
  std::vector<Entry> entries_;
  std::string texts_;  // a text set again leaves its old bytes, up to as many as are in use
};

struct ItemRecord {
  int64_t id = 0;  // 0 until first saved
  int64_t folderId = 0;
  std::string entryId;
  std::string messageClass = "IPM.Appointment";
  FieldValues fields;
  std::vector<UserPropRecord> userProps;
  std::vector<AttachmentRecord> attachments;
  std::vector<RecipientRecord> recipients;
  std::vector<std::string> links;
  std::optional<RecurrenceRecord> recurrence;
  int64_t createdMs = 0;
  int64_t modifiedMs = 0;
  // Read for a walk or a lookup: only the fields a pass reads of every item (LeanField) and the
  // head of a long body, parts whole. The object model reads the whole item when another field,
  // or the rest of the body, is asked for or the item is changed; a save keeps the stored
  // values of what was not read.
  bool partial = false;
  bool bodyCut = false;  // partial, and the body longer than the head read
  // The store's digest of the content (ContentDigest) as stored; empty when not known, as for an
  // item changed since it was read.
  std::string digest;

  com::Variant Field(outlook::ApptField f) const;
  // Whether the record holds the field as stored: not one a partial read leaves out, nor a body
  // cut to its head.
  bool Holds(outlook::ApptField f) const;
  // Before a save: what a partial read left out becomes the stored value, so nothing is lost.
  void KeepUnread(const ItemRecord& stored);
  UserPropRecord* FindProp(const std::string& name);
  const UserPropRecord* FindProp(const std::string& name) const;
};

// Whether a partial record holds the field: what the passes read of every appointment.
bool LeanField(outlook::ApptField f);

// A record as read, which readers may share (the store keeps it for its lookups); who changes
// one changes a copy of their own.
using SharedRecord = std::shared_ptr<const ItemRecord>;

// An entry of one of the namespace's address lists, kept by the store that holds the list.
struct AddressRecord {
  std::string list;  // "Global Address List", "Contacts"
  std::string name;
  std::string address;
  std::string type = "SMTP";
  int displayType = 0;  // 0: a user; 1: a distribution list, and so on
};

}  // namespace mapistore
