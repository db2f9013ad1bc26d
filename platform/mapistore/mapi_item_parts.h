#pragma once
// The parts of an item: user properties, attachments, recipients, links, the recurrence
// pattern and the form description. Each works on its item's unsaved state.
#include <memory>

#include "platform/mapistore/mapi_appointment.h"

namespace mapistore {

class MapiUserProperties : public outlook::UserProperties {
 public:
  explicit MapiUserProperties(std::shared_ptr<MapiAppointment> item) : item_(std::move(item)) {}
  int Count() override;
  Ref<outlook::UserProperty> Item(int index) override;
  Ref<outlook::UserProperty> Find(const std::string& name) override;
  Ref<outlook::UserProperty> Add(const std::string& name, int type, bool addToFolderFields) override;
  void Remove(int index) override;

 private:
  std::shared_ptr<MapiAppointment> item_;
};

class MapiAttachments : public outlook::Attachments {
 public:
  explicit MapiAttachments(std::shared_ptr<MapiAppointment> item) : item_(std::move(item)) {}
  int Count() override;
  Ref<outlook::Attachment> Item(int index) override;
  Ref<outlook::Attachment> Add(const std::string& fileName) override;
  void Remove(int index) override;

 private:
  std::shared_ptr<MapiAppointment> item_;
};

class MapiRecipients : public outlook::Recipients {
 public:
  explicit MapiRecipients(std::shared_ptr<MapiAppointment> item) : item_(std::move(item)) {}
  int Count() override;
  Ref<outlook::Recipient> Item(int index) override;
  Ref<outlook::Recipient> Add(const std::string& name) override;
  void Remove(int index) override;

 private:
  std::shared_ptr<MapiAppointment> item_;
};

class MapiLinks : public outlook::Links {
 public:
  explicit MapiLinks(std::shared_ptr<MapiAppointment> item) : item_(std::move(item)) {}
  int Count() override;
  Ref<outlook::Link> Item(int index) override;
  Ref<outlook::Link> Add(const std::string& name) override;
  void Remove(int index) override;

 private:
  std::shared_ptr<MapiAppointment> item_;
};

class MapiFormDescription : public outlook::FormDescription {
 public:
  explicit MapiFormDescription(std::string messageClass) : messageClass_(std::move(messageClass)) {}
  std::string Name() override;

 private:
  std::string messageClass_;
};

class MapiRecurrencePattern : public outlook::RecurrencePattern {
 public:
  explicit MapiRecurrencePattern(std::shared_ptr<MapiAppointment> item) : item_(std::move(item)) {}
  int RecurrenceType() override { return Rec().type; }
  void SetRecurrenceType(int type) override { Rec().type = type; }
  int Interval() override { return Rec().interval; }
  void SetInterval(int interval) override;
  int DayOfWeekMask() override { return Rec().dayOfWeekMask; }
  void SetDayOfWeekMask(int mask) override { Rec().dayOfWeekMask = mask; }
  int DayOfMonth() override { return Rec().dayOfMonth; }
  void SetDayOfMonth(int day) override { Rec().dayOfMonth = day; }
  int MonthOfYear() override { return Rec().monthOfYear; }
  void SetMonthOfYear(int month) override { Rec().monthOfYear = month; }
  com::Date PatternStartDate() override { return Rec().patternStart; }
  void SetPatternStartDate(com::Date d) override { Rec().patternStart = d; }
  bool NoEndDate() override { return !Rec().patternEnd.has_value(); }
  void SetNoEndDate(bool none) override;
  com::Date PatternEndDate() override;
  void SetPatternEndDate(com::Date d) override;
  int Instance() override { return Rec().instance; }
  void SetInstance(int instance) override;
  int Occurrences() override { return Rec().occurrences; }
  void SetOccurrences(int count) override;
  Ref<outlook::Exceptions> Exceptions() override;
  void ChangeOccurrence(const outlook::OccurrenceChange& change) override;

 private:
  RecurrenceRecord& Rec();
  std::shared_ptr<MapiAppointment> item_;
};

}  // namespace mapistore
