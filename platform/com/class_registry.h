#pragma once
// Class creation by ProgID: a ProgID names a class in a shared library that is loaded on
// first use and never unloaded while the process runs (objects of it may still be alive).
#include <functional>
#include <map>
#include <mutex>
#include <string>

#include "platform/com/com_object.h"
#include "platform/com/text.h"

// Every class library exports this entry point. It returns a new object of the class named
// by progId (ownership passes to the caller), or nullptr when the library has no such class.
extern "C" {
typedef com::ComObject* (*ComCreateInstanceFn)(const char* progId);
}
#define COM_CREATE_INSTANCE_SYMBOL "ComCreateInstance"

namespace com {

class ClassRegistry {
 public:
  static ClassRegistry& Instance();

  // Where the class lives; a later registration replaces an earlier one.
  void RegisterLibrary(const std::string& progId, const std::string& libraryPath);
  // An in-process class, for the host's own objects and for tests.
  void RegisterFactory(const std::string& progId, std::function<ObjectPtr()> factory);
  void Unregister(const std::string& progId);

  // The host's CreateObject: raises 429 when the class is unknown, its library cannot be
  // loaded, or the library does not make the class.
  ObjectPtr CreateObject(const std::string& progId);

 private:
  struct Entry {
    std::string libraryPath;
    std::function<ObjectPtr()> factory;
  };
  std::mutex mutex_;
  std::map<std::string, Entry, NoCaseLess> classes_;
  std::map<std::string, void*> libraries_;
};

inline ObjectPtr CreateObject(const std::string& progId) { return ClassRegistry::Instance().CreateObject(progId); }

}  // namespace com
