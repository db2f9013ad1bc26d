#include "platform/com/class_registry.h"

#include <dlfcn.h>

#include "platform/com/com_error.h"

namespace com {

ClassRegistry& ClassRegistry::Instance() {
  static ClassRegistry registry;
  return registry;
}

void ClassRegistry::RegisterLibrary(const std::string& progId, const std::string& libraryPath) {
  std::lock_guard lock(mutex_);
  classes_[progId] = Entry{libraryPath, nullptr};
}

void ClassRegistry::RegisterFactory(const std::string& progId, std::function<ObjectPtr()> factory) {
  std::lock_guard lock(mutex_);
  classes_[progId] = Entry{"", std::move(factory)};
}

void ClassRegistry::Unregister(const std::string& progId) {
  std::lock_guard lock(mutex_);
  classes_.erase(progId);
}

ObjectPtr ClassRegistry::CreateObject(const std::string& progId) {
  const std::string cannot = StandardDescription(kErrCannotCreateObject);
  std::unique_lock lock(mutex_);
  auto it = classes_.find(progId);
  if (it == classes_.end()) Raise(kErrCannotCreateObject, cannot + " (class not registered: " + progId + ")");
  Entry entry = it->second;
  if (entry.factory) {
    lock.unlock();
    return entry.factory();
  }
  void*& handle = libraries_[entry.libraryPath];
  if (!handle) {
    handle = dlopen(entry.libraryPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
      const char* why = dlerror();
      Raise(kErrCannotCreateObject, cannot + " (" + (why ? why : entry.libraryPath) + ")");
    }
  }
  auto create = reinterpret_cast<ComCreateInstanceFn>(dlsym(handle, COM_CREATE_INSTANCE_SYMBOL));
  lock.unlock();
  if (!create) Raise(kErrCannotCreateObject, cannot + " (" + entry.libraryPath + " exports no classes)");
  ComObject* object = create(progId.c_str());
  if (!object) Raise(kErrCannotCreateObject, cannot + " (" + entry.libraryPath + " has no class " + progId + ")");
  return ObjectPtr(object);
}

}  // namespace com
