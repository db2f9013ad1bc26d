#pragma once
// One mailbox store in a scratch folder, opened through the object model as the host opens it,
// for targets that need a real store behind what they parse. Built once per process, in memory
// (/dev/shm) where the machine has it, since every input writes to it; the folder goes when the
// process ends normally.
#include <memory>
#include <string>

#include "platform/mapistore/mapi_application.h"
#include "platform/mapistore/mapi_session.h"
#include "platform/mapistore/sqlite_store.h"
#include "platform/win32/clock.h"

namespace fuzzing {

struct ScratchDir {
  ScratchDir();
  ~ScratchDir();
  std::string operator/(const std::string& name) const { return path + "/" + name; }
  std::string path;
};

struct ScratchStore {
  ScratchStore();

  ScratchDir dir;
  win32::VirtualClock clock;
  std::shared_ptr<mapistore::SqliteStore> file;
  std::shared_ptr<mapistore::MapiSession> ns;
  std::shared_ptr<mapistore::MapiApplication> app;
  com::Ref<outlook::MAPIFolder> calendar;
};

ScratchStore& TheStore();

}  // namespace fuzzing
