#include "platform/outlook/appointment_item.h"

#include "platform/com/com_error.h"
#include "platform/outlook/folder.h"

namespace outlook {

long AppointmentItem::Duration() { return static_cast<long>((End().UnixMillis() - Start().UnixMillis()) / 60000); }

com::Variant AppointmentItem::Invoke(const std::string& member, com::CallType type, com::Args& args) {
  if (const FieldInfo* f = FindField(member)) {
    if (type == com::CallType::PropertyPut) {
      if (args.empty()) com::Raise(com::kErrInvalidCall);
      SetField(f->id, args.back());
      return {};
    }
    return GetField(f->id);
  }
  const std::string m = com::ToLower(member);
  if (type == com::CallType::PropertyPut) {
    if (m == "messageclass" && !args.empty()) {
      SetMessageClass(args.back().ToString());
      return {};
    }
    com::Raise(com::kErrNoSuchMember);
  }
  if (m == "entryid") return EntryID();
  if (m == "lastmodificationtime") return LastModificationTime();
  if (m == "creationtime") return CreationTime();
  if (m == "messageclass") return MessageClass();
  if (m == "class") return int32_t{Class()};
  if (m == "isrecurring") return com::Variant::Boolean(IsRecurring());
  if (m == "recurrencestate") return int32_t{RecurrenceState()};
  if (m == "duration") return int32_t(Duration());
  if (m == "userproperties") return UserProperties().get();
  if (m == "attachments") return Attachments().get();
  if (m == "recipients") return Recipients().get();
  if (m == "links") return Links().get();
  if (m == "parent") return Parent().get();
  if (m == "save") return Save(), com::Variant();
  if (m == "delete") return Delete(), com::Variant();
  if (m == "copy") return Copy().get();
  com::Raise(com::kErrNoSuchMember);
}

}  // namespace outlook
