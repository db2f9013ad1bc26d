#include "fuzz/scratch_store.h"

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>

namespace fuzzing {

ScratchDir::ScratchDir() {
  std::string tmpl = std::string(::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/quorvane-fuzz-XXXXXX";
  if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
  path = tmpl;
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  std::filesystem::remove_all(path, ec);
}

ScratchStore::ScratchStore() : clock(com::Date::FromParts(2026, 3, 10, 9, 30, 0)) {
  file = mapistore::SqliteStore::Create(dir / "mailbox.store", "Mailbox - Fuzz", clock);
  const auto folder = file->AddFolder(file->Root().id, "Calendar", 1);
  ns = std::make_shared<mapistore::MapiSession>(nullptr);
  ns->AddStore(file);
  ns->SetDefaultCalendar(file, folder.id);
  app = std::make_shared<mapistore::MapiApplication>(ns, std::make_shared<mapistore::MapiExplorer>());
  calendar = ns->Folders()->Item("Mailbox - Fuzz")->Folders()->Item("Calendar");
}

ScratchStore& TheStore() {
  static ScratchStore store;
  return store;
}

}  // namespace fuzzing
