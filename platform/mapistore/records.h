#pragma once
// What the store keeps, as plain values: folders, items and their parts.
#include <cstdint>
#include <array>
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

// A value for every stored field; one never set is Empty and reads as the field's default.
class FieldValues {
 public:
  com::Variant& operator[](outlook::ApptField f) { return values_[static_cast<size_t>(f)]; }
  const com::Variant& operator[](outlook::ApptField f) const { return values_[static_cast<size_t>(f)]; }

 private:
  std::array<com::Variant, outlook::kApptFieldCount> values_;
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

  com::Variant Field(outlook::ApptField f) const;
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
