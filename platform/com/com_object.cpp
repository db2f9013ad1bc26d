#include "platform/com/com_object.h"

#include "platform/com/com_error.h"

namespace com {

ComObject::~ComObject() = default;

Variant ComObject::Invoke(const std::string&, CallType, Args&) { Raise(kErrNoSuchMember); }

void DispatchObject::DeclareProperty(const std::string& name, Getter get, Putter put) {
  Member& m = members_[name];
  m.get = std::move(get);
  m.put = std::move(put);
}

void DispatchObject::DeclareMethod(const std::string& name, Method method) { members_[name].method = std::move(method); }

Variant DispatchObject::Invoke(const std::string& member, CallType type, Args& args) {
  auto it = members_.find(member);
  if (it == members_.end()) Raise(kErrNoSuchMember);
  const Member& m = it->second;
  switch (type) {
    case CallType::PropertyPut:
      if (!m.put || args.empty()) Raise(kErrNoSuchMember);
      m.put(args.back());
      return {};
    case CallType::PropertyGet:
      // The host lets a method be read like a property and the other way round.
      if (m.get && args.empty()) return m.get();
      if (m.method) return m.method(args);
      Raise(kErrNoSuchMember);
    case CallType::Method:
      if (m.method) return m.method(args);
      if (m.get && args.empty()) return m.get();
      Raise(kErrNoSuchMember);
  }
  Raise(kErrNoSuchMember);
}

Variant CallByName(const ObjectPtr& object, const std::string& member, CallType type, Args args) {
  if (!object) Raise(kErrObjectNotSet);
  return object->Invoke(member, type, args);
}

Variant GetProperty(const ObjectPtr& object, const std::string& name) {
  return CallByName(object, name, CallType::PropertyGet);
}

void PutProperty(const ObjectPtr& object, const std::string& name, const Variant& value) {
  CallByName(object, name, CallType::PropertyPut, {value});
}

Variant CallMethod(const ObjectPtr& object, const std::string& name, Args args) {
  return CallByName(object, name, CallType::Method, std::move(args));
}

const Variant& ArgAt(const Args& args, size_t n) {
  static const Variant kMissing;
  return n < args.size() ? args[n] : kMissing;
}

}  // namespace com
