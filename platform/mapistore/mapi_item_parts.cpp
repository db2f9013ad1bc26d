#include "platform/mapistore/mapi_item_parts.h"

#include <algorithm>

#include "platform/com/com_error.h"
#include "platform/com/text.h"
#include "platform/mapistore/store_errors.h"
#include "platform/outlook/outlook_enums.h"

namespace mapistore {
namespace {

size_t CheckIndex(int index, size_t size) {
  if (index < 1 || static_cast<size_t>(index) > size) com::Raise(com::kErrSubscriptOutOfRange);
  return static_cast<size_t>(index - 1);
}

class MapiUserProperty : public outlook::UserProperty {
 public:
  MapiUserProperty(std::shared_ptr<MapiAppointment> item, std::string name)
      : item_(std::move(item)), name_(std::move(name)) {}
  std::string Name() override { return Prop().name; }
  int Type() override { return Prop().type; }
  com::Variant Value() override { return Prop().value; }
  void SetValue(const com::Variant& value) override {
    Prop();  // raises when it is gone
    UserPropRecord& p = *item_->Edit().FindProp(name_);
    p.value = p.type == outlook::olText ? com::Variant(value.ToString()) : value;
  }
  com::Variant Invoke(const std::string& member, com::CallType type, com::Args& args) override {
    if (com::EqualsNoCase(member, "Value")) {
      if (type == com::CallType::PropertyPut && !args.empty()) return SetValue(args.back()), com::Variant();
      return Value();
    }
    if (com::EqualsNoCase(member, "Name")) return Name();
    return ComObject::Invoke(member, type, args);
  }

 private:
  const UserPropRecord& Prop() {
    item_->CheckAlive();
    const UserPropRecord* p = item_->record().FindProp(name_);
    if (!p) com::Raise(kErrNotFound, "The property \"" + name_ + "\" was removed.");
    return *p;
  }
  std::shared_ptr<MapiAppointment> item_;
  std::string name_;
};

template <class Iface>
class Named : public Iface {
 public:
  explicit Named(std::string a, std::string b = "") : a_(std::move(a)), b_(std::move(b)) {}

 protected:
  std::string a_, b_;
};

class MapiAttachment : public Named<outlook::Attachment> {
 public:
  using Named::Named;
  std::string FileName() override { return a_; }
  std::string DisplayName() override { return b_; }
};

class MapiRecipient : public Named<outlook::Recipient> {
 public:
  using Named::Named;
  std::string Name() override { return a_; }
  std::string Address() override { return b_; }
};

class MapiLink : public Named<outlook::Link> {
 public:
  using Named::Named;
  std::string Name() override { return a_; }
};

class MapiException : public outlook::Exception {
 public:
  explicit MapiException(outlook::OccurrenceChange change) : change_(std::move(change)) {}
  com::Date OriginalDate() override { return change_.originalDate; }
  bool Deleted() override { return change_.deleted; }
  outlook::OccurrenceChange Change() override { return change_; }

 private:
  outlook::OccurrenceChange change_;
};

// The exceptions as they were when asked for.
class MapiExceptions : public outlook::Exceptions {
 public:
  explicit MapiExceptions(std::vector<outlook::OccurrenceChange> list) : list_(std::move(list)) {}
  int Count() override { return static_cast<int>(list_.size()); }
  Ref<outlook::Exception> Item(int index) override {
    return std::make_shared<MapiException>(list_[CheckIndex(index, list_.size())]);
  }

 private:
  std::vector<outlook::OccurrenceChange> list_;
};

}  // namespace

int MapiUserProperties::Count() { return static_cast<int>(item_->record().userProps.size()); }

Ref<outlook::UserProperty> MapiUserProperties::Item(int index) {
  const size_t i = CheckIndex(index, item_->record().userProps.size());
  return std::make_shared<MapiUserProperty>(item_, item_->record().userProps[i].name);
}

Ref<outlook::UserProperty> MapiUserProperties::Find(const std::string& name) {
  item_->CheckAlive();
  if (!item_->record().FindProp(name)) return nullptr;
  return std::make_shared<MapiUserProperty>(item_, name);
}

Ref<outlook::UserProperty> MapiUserProperties::Add(const std::string& name, int type, bool addToFolderFields) {
  item_->CheckAlive();
  if (com::Trim(name).empty()) com::Raise(com::kErrInvalidCall, "A user property needs a name.");
  item_->store()->AddUserProperty(item_->record().folderId, name, type, addToFolderFields);
  // Adding a property the item already has gives back that property, value kept.
  if (!item_->record().FindProp(name)) {
    item_->Edit().userProps.push_back(UserPropRecord{name, type, com::Variant(std::string())});
  }
  return std::make_shared<MapiUserProperty>(item_, name);
}

void MapiUserProperties::Remove(int index) {
  auto& props = item_->Edit().userProps;
  props.erase(props.begin() + static_cast<long>(CheckIndex(index, props.size())));
}

int MapiAttachments::Count() { return static_cast<int>(item_->record().attachments.size()); }

Ref<outlook::Attachment> MapiAttachments::Item(int index) {
  const auto& a = item_->record().attachments[CheckIndex(index, item_->record().attachments.size())];
  return std::make_shared<MapiAttachment>(a.fileName, a.displayName);
}

Ref<outlook::Attachment> MapiAttachments::Add(const std::string& fileName) {
  item_->CheckAlive();
  const std::string shortName = fileName.substr(fileName.find_last_of("/\\") + 1);
  item_->Edit().attachments.push_back(AttachmentRecord{shortName, shortName});
  return std::make_shared<MapiAttachment>(shortName, shortName);
}

void MapiAttachments::Remove(int index) {
  auto& list = item_->Edit().attachments;
  list.erase(list.begin() + static_cast<long>(CheckIndex(index, list.size())));
}

int MapiRecipients::Count() { return static_cast<int>(item_->record().recipients.size()); }

Ref<outlook::Recipient> MapiRecipients::Item(int index) {
  const auto& r = item_->record().recipients[CheckIndex(index, item_->record().recipients.size())];
  return std::make_shared<MapiRecipient>(r.name, r.address);
}

Ref<outlook::Recipient> MapiRecipients::Add(const std::string& name) {
  item_->CheckAlive();
  item_->Edit().recipients.push_back(RecipientRecord{name, ""});
  return std::make_shared<MapiRecipient>(name, "");
}

void MapiRecipients::Remove(int index) {
  auto& list = item_->Edit().recipients;
  list.erase(list.begin() + static_cast<long>(CheckIndex(index, list.size())));
}

int MapiLinks::Count() { return static_cast<int>(item_->record().links.size()); }

Ref<outlook::Link> MapiLinks::Item(int index) {
  return std::make_shared<MapiLink>(item_->record().links[CheckIndex(index, item_->record().links.size())]);
}

Ref<outlook::Link> MapiLinks::Add(const std::string& name) {
  item_->CheckAlive();
  item_->Edit().links.push_back(name);
  return std::make_shared<MapiLink>(name);
}

void MapiLinks::Remove(int index) {
  auto& list = item_->Edit().links;
  list.erase(list.begin() + static_cast<long>(CheckIndex(index, list.size())));
}

std::string MapiFormDescription::Name() {
  // The standard form's name, or a custom form's own class suffix.
  const std::string base = "IPM.Appointment";
  if (com::EqualsNoCase(messageClass_, base)) return "Appointment";
  if (messageClass_.size() > base.size() + 1 && com::EqualsNoCase(messageClass_.substr(0, base.size()), base)) {
    return messageClass_.substr(base.size() + 1);
  }
  return messageClass_;
}

RecurrenceRecord& MapiRecurrencePattern::Rec() {
  item_->CheckAlive();
  // Through the pattern the record is changed, and its exceptions are handed out: an own copy.
  ItemRecord& record = item_->Edit();
  if (!record.recurrence) com::Raise(kErrCallFailed, "The appointment is no longer recurring.");
  return *record.recurrence;
}

void MapiRecurrencePattern::SetInterval(int interval) {
  if (interval < 1) com::Raise(com::kErrInvalidCall, "The interval must be at least 1.");
  Rec().interval = interval;
}

void MapiRecurrencePattern::SetNoEndDate(bool none) {
  if (none) {
    Rec().patternEnd.reset();
    Rec().occurrences = 0;
  } else if (!Rec().patternEnd) {
    Rec().patternEnd = Rec().patternStart;
  }
}

void MapiRecurrencePattern::SetPatternEndDate(com::Date d) {
  Rec().patternEnd = d;
  Rec().occurrences = 0;  // ends on that date now
}

void MapiRecurrencePattern::SetInstance(int instance) {
  if (instance < 1 || instance > 5) com::Raise(com::kErrInvalidCall, "The instance must be from 1 to 5.");
  Rec().instance = instance;
}

void MapiRecurrencePattern::SetOccurrences(int count) {
  if (count < 1) com::Raise(com::kErrInvalidCall, "The number of occurrences must be at least 1.");
  if (!Rec().patternEnd) Rec().patternEnd = Rec().patternStart;
  Rec().occurrences = count;
}

Ref<outlook::Exceptions> MapiRecurrencePattern::Exceptions() {
  return std::make_shared<MapiExceptions>(Rec().exceptions);
}

void MapiRecurrencePattern::ChangeOccurrence(const outlook::OccurrenceChange& change) {
  auto& list = Rec().exceptions;
  auto at = std::lower_bound(list.begin(), list.end(), change.originalDate,
                             [](const outlook::OccurrenceChange& c, com::Date d) { return c.originalDate < d; });
  if (at != list.end() && at->originalDate == change.originalDate) *at = change;
  else list.insert(at, change);
}

com::Date MapiRecurrencePattern::PatternEndDate() {
  // The host reports a series without end as ending on 31 December 4500.
  return Rec().patternEnd.value_or(com::Date::FromParts(4500, 12, 31));
}

}  // namespace mapistore
