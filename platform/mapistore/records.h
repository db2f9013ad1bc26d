#pragma once
// What the store keeps, as plain values: folders, items and their parts.
#include <cstdint>
#include <utility>
#include <optional>
#include <string>
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
// default. Most fields of most items keep their default, so only the others are held: a pass
// holds thousands of items, and copies them.
class FieldValues {
 public:
  FieldValues() = default;
  template <typename It>
  FieldValues(It first, It last) : values_(first, last) {}
  // Adds an Empty value for a field not held yet.
  com::Variant& operator[](outlook::ApptField f);
  const com::Variant& operator[](outlook::ApptField f) const;

 private:
  std::vector<std::pair<outlook::ApptField, com::Variant>> values_;
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
  // Read for a walk or a lookup with only the head of a long body: the object model reads the
  // rest when the body is asked for, and a save keeps the stored one unless it was set.
  bool bodyCut = false;

  com::Variant Field(outlook::ApptField f) const;
  // Before a save: a body that was cut becomes the stored one, so what was not read is kept.
  void KeepUnread(const ItemRecord& stored);
  UserPropRecord* FindProp(const std::string& name);
};

// An entry of one of the namespace's address lists, kept by the store that holds the list.
struct AddressRecord {
  std::string list;  // "Global Address List", "Contacts"
  std::string name;
  std::string address;
  std::string type = "SMTP";
  int displayType = 0;  // 0: a user; 1: a distribution list, and so on
};

}  // namespace mapistore
