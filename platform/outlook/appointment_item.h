#pragma once
// An appointment and the small objects hanging off it: user properties, attachments,
// recipients, links, the recurrence pattern and the form description.
#include <string>

#include "platform/com/com_object.h"
#include "platform/com/ref.h"
#include "platform/outlook/appointment_fields.h"

namespace outlook {

using com::Ref;
class MAPIFolder;

class UserProperty : public com::ComObject {
 public:
  virtual std::string Name() = 0;
  virtual int Type() = 0;
  virtual com::Variant Value() = 0;
  virtual void SetValue(const com::Variant& value) = 0;
};

class UserProperties : public com::ComObject {
 public:
  virtual int Count() = 0;
  virtual Ref<UserProperty> Item(int index) = 0;  // 1-based
  // Nothing when the item has no property of that name.
  virtual Ref<UserProperty> Find(const std::string& name) = 0;
  // With addToFolderFields the folder learns the property as a field of its own.
  virtual Ref<UserProperty> Add(const std::string& name, int type, bool addToFolderFields = true) = 0;
  virtual void Remove(int index) = 0;
};

class Attachment : public com::ComObject {
 public:
  virtual std::string FileName() = 0;
  virtual std::string DisplayName() = 0;
};

class Attachments : public com::ComObject {
 public:
  virtual int Count() = 0;
  virtual Ref<Attachment> Item(int index) = 0;
  virtual Ref<Attachment> Add(const std::string& fileName) = 0;
  virtual void Remove(int index) = 0;
};

class Recipient : public com::ComObject {
 public:
  virtual std::string Name() = 0;
  virtual std::string Address() = 0;
};

class Recipients : public com::ComObject {
 public:
  virtual int Count() = 0;
  virtual Ref<Recipient> Item(int index) = 0;
  virtual Ref<Recipient> Add(const std::string& name) = 0;
  virtual void Remove(int index) = 0;
};

class Link : public com::ComObject {
 public:
  virtual std::string Name() = 0;
};

class Links : public com::ComObject {
 public:
  virtual int Count() = 0;
  virtual Ref<Link> Item(int index) = 0;
  virtual Ref<Link> Add(const std::string& name) = 0;
  virtual void Remove(int index) = 0;
};

class FormDescription : public com::ComObject {
 public:
  virtual std::string Name() = 0;  // the default value
};

// One occurrence of a series that was deleted or given times or texts of its own.
struct OccurrenceChange {
  com::Date originalDate;  // the start the occurrence has by the pattern
  bool deleted = false;
  com::Date start, end;  // when not deleted
  std::string subject, location, body;

  bool operator==(const OccurrenceChange&) const = default;
};

class Exception : public com::ComObject {
 public:
  virtual com::Date OriginalDate() = 0;
  virtual bool Deleted() = 0;
  virtual OccurrenceChange Change() = 0;  // the occurrence as changed
};

class Exceptions : public com::ComObject {
 public:
  virtual int Count() = 0;
  virtual Ref<Exception> Item(int index) = 0;  // 1-based, in order of original date
};

class RecurrencePattern : public com::ComObject {
 public:
  virtual int RecurrenceType() = 0;
  virtual void SetRecurrenceType(int type) = 0;
  virtual int Interval() = 0;
  virtual void SetInterval(int interval) = 0;
  virtual int DayOfWeekMask() = 0;
  virtual void SetDayOfWeekMask(int mask) = 0;
  virtual int DayOfMonth() = 0;
  virtual void SetDayOfMonth(int day) = 0;
  virtual int MonthOfYear() = 0;
  virtual void SetMonthOfYear(int month) = 0;
  virtual com::Date PatternStartDate() = 0;
  virtual void SetPatternStartDate(com::Date d) = 0;
  virtual bool NoEndDate() = 0;
  virtual void SetNoEndDate(bool none) = 0;
  virtual com::Date PatternEndDate() = 0;  // meaningless while NoEndDate
  virtual void SetPatternEndDate(com::Date d) = 0;
  // Which week of the month for the month-nth and year-nth types: 1 to 4, or 5 for the last.
  virtual int Instance() = 0;
  virtual void SetInstance(int instance) = 0;
  // The number of occurrences when the series ends after so many (PatternEndDate is then the
  // last one's day); 0 when it ends on a date or never.
  virtual int Occurrences() = 0;
  virtual void SetOccurrences(int count) = 0;
  virtual Ref<outlook::Exceptions> Exceptions() = 0;
  // Deletes or changes one occurrence; a change of the same original date replaces it.
  virtual void ChangeOccurrence(const OccurrenceChange& change) = 0;
};

class AppointmentItem : public com::ComObject {
 public:
  virtual com::Variant GetField(ApptField field) = 0;
  virtual void SetField(ApptField field, const com::Variant& value) = 0;
  // True when both are saved, unchanged since, and their store knows they hold the same: every
  // field, the pattern, attachments, recipients and links (user properties aside). False says
  // nothing: the fields must then be compared.
  virtual bool SameStoredContent(AppointmentItem& other) {
    (void)other;
    return false;
  }

  std::string Subject() { return GetField(ApptField::Subject).ToString(); }
  void SetSubject(const std::string& v) { SetField(ApptField::Subject, v); }
  std::string Body() { return GetField(ApptField::Body).ToString(); }
  void SetBody(const std::string& v) { SetField(ApptField::Body, v); }
  std::string Location() { return GetField(ApptField::Location).ToString(); }
  void SetLocation(const std::string& v) { SetField(ApptField::Location, v); }
  com::Date Start() { return GetField(ApptField::Start).ToDate(); }
  void SetStart(com::Date v) { SetField(ApptField::Start, v); }
  com::Date End() { return GetField(ApptField::End).ToDate(); }
  void SetEnd(com::Date v) { SetField(ApptField::End, v); }
  int Sensitivity() { return GetField(ApptField::Sensitivity).ToLong(); }
  void SetSensitivity(int v) { SetField(ApptField::Sensitivity, int32_t{v}); }
  bool AllDayEvent() { return GetField(ApptField::AllDayEvent).ToBool(); }
  long Duration();  // minutes from Start to End

  virtual std::string EntryID() = 0;  // empty until first saved
  virtual com::Date LastModificationTime() = 0;
  virtual com::Date CreationTime() = 0;
  virtual std::string MessageClass() = 0;
  virtual void SetMessageClass(const std::string& messageClass) = 0;
  virtual int Class() = 0;
  virtual bool IsRecurring() = 0;
  virtual int RecurrenceState() = 0;

  virtual Ref<outlook::UserProperties> UserProperties() = 0;
  virtual Ref<outlook::Attachments> Attachments() = 0;
  virtual Ref<outlook::Recipients> Recipients() = 0;
  virtual Ref<outlook::Links> Links() = 0;
  virtual Ref<outlook::FormDescription> FormDescription() = 0;
  // Makes the appointment recurring when it is not yet.
  virtual Ref<RecurrencePattern> GetRecurrencePattern() = 0;
  virtual void ClearRecurrencePattern() = 0;
  virtual Ref<MAPIFolder> Parent() = 0;

  virtual void Save() = 0;
  // A new item with every property, user properties included, in this item's own folder.
  virtual Ref<AppointmentItem> Copy() = 0;
  // Returns the item in its new folder; the entry ID is new when the folder is in another store.
  virtual Ref<AppointmentItem> Move(const Ref<MAPIFolder>& destination) = 0;
  virtual void Delete() = 0;

  // Late binding: every stored field by name, and the members above.
  com::Variant Invoke(const std::string& member, com::CallType type, com::Args& args) override;
};

}  // namespace outlook
