#pragma once
// An SQLite VFS over the system's own that gathers a transaction's writes to the write-ahead
// log and hands them to the kernel at once, when the commit frame is written. SQLite writes a
// frame's header and its page separately, so a commit of a dozen pages is two dozen system
// calls otherwise. The commit frame's write returns only once everything before it is out,
// so a failure still fails the commit, and no other connection can see a frame not yet written.
#include <sqlite3.h>

namespace mapistore {

// Logs opened through the VFS know whether they hold writes not yet synced. A database makes
// every other log durable before it writes (SyncLogsExcept), so after a power loss no file keeps
// a change without the changes made before it in the others; its own it syncs when its work is
// reported done (SyncLog). Both give SQLite's result code; a failed sync leaves the log unsynced.
// Logs are used from the thread that runs the stores.
int SyncLog(sqlite3_file* log);
int SyncLogsExcept(sqlite3_file* except);

// The name of the VFS over base (nullptr: the system's own), registered on first use.
const char* WalWriteBufferVfs(const char* base = nullptr);

}  // namespace mapistore
