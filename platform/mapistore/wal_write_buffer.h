#pragma once
// An SQLite VFS over the system's own that gathers a transaction's writes to the write-ahead
// log and hands them to the kernel at once, when the commit frame is written. SQLite writes a
// frame's header and its page separately, so a commit of a dozen pages is two dozen system
// calls otherwise. The commit frame's write returns only once everything before it is out,
// so a failure still fails the commit, and no other connection can see a frame not yet written.
namespace mapistore {

// The name of the VFS over base (nullptr: the system's own), registered on first use.
const char* WalWriteBufferVfs(const char* base = nullptr);

}  // namespace mapistore
