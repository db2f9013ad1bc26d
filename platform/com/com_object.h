#pragma once
// Late binding: every object the host or a library hands out answers calls by member name.
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/com/text.h"
#include "platform/com/variant.h"

namespace com {

enum class CallType { Method, PropertyGet, PropertyPut };

class ComObject : public std::enable_shared_from_this<ComObject> {
 public:
  virtual ~ComObject();
  // Calls a member by name; names are matched without regard to case. A member the object
  // does not have raises 438. A property put passes the new value as the last argument.
  virtual Variant Invoke(const std::string& member, CallType type, Args& args);
};

// A ComObject whose members are declared in a table by its constructor.
class DispatchObject : public ComObject {
 public:
  Variant Invoke(const std::string& member, CallType type, Args& args) override;

 protected:
  using Getter = std::function<Variant()>;
  using Putter = std::function<void(const Variant&)>;
  using Method = std::function<Variant(Args&)>;

  void DeclareProperty(const std::string& name, Getter get, Putter put = nullptr);
  void DeclareMethod(const std::string& name, Method method);

 private:
  struct Member {
    Getter get;
    Putter put;
    Method method;
  };
  std::map<std::string, Member, NoCaseLess> members_;
};

// The host's CallByName; an empty object raises 91.
Variant CallByName(const ObjectPtr& object, const std::string& member, CallType type, Args args = {});
Variant GetProperty(const ObjectPtr& object, const std::string& name);
void PutProperty(const ObjectPtr& object, const std::string& name, const Variant& value);
Variant CallMethod(const ObjectPtr& object, const std::string& name, Args args = {});

// Argument n of a call, or Empty when the caller left it out.
const Variant& ArgAt(const Args& args, size_t n);

}  // namespace com
