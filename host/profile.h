#pragma once
// A member's profile: one folder holding the registry file (HKEY_CURRENT_USER, which also
// names the profile's stores), the Windows-directory stand-in with its TEMP folder, and the
// member's mailbox store. The public-folders store may live elsewhere and be shared.
#include <functional>
#include <memory>
#include <string>

#include "platform/mapistore/mapi_session.h"
#include "platform/win32/clock.h"
#include "platform/win32/message_loop.h"
#include "platform/win32/registry.h"

namespace host {

extern const char* const kProfileKey;  // where the profile names its user and stores

std::string Absolute(const std::string& path);

// The public folders on a CalDAV server. The password stays in its file, read when the stores
// are opened: the registry names the file only.
struct PublicServer {
  std::string url;  // empty: the public folders are a store file
  std::string user;
  std::string passwordFile;
};

class Profile {
 public:
  // Raises UsageError when the folder holds no profile.
  static Profile Open(const std::string& dir);
  // A new profile for user with a mailbox ("Mailbox - user" with a "Calendar" folder) and the
  // public folders in publicStore (created when missing, shared when it exists; empty: a
  // file of the profile). setUp writes the registry values the profile starts with. An existing
  // profile is refused. All or nothing: when a step fails, what was made is taken away. The user
  // joins the public folders' Global Address List with address (empty: user@workgroup).
  static Profile Create(const std::string& dir, const std::string& user, const std::string& publicStore,
                        const std::function<void(win32::Registry&)>& setUp, const std::string& address = "",
                        const PublicServer& server = {});
  // The public folders from now on: on the server (a new replica of it in the profile), or,
  // without a URL, in the store file publicStore (empty: a file of the profile). Nothing is
  // changed when the new public folders cannot be opened.
  void SwitchPublic(const PublicServer& server, const std::string& publicStore);
  const std::string& dir() const { return dir_; }
  const std::string& user() const { return user_; }
  const std::string& mailboxStore() const { return mailbox_; }
  const std::string& publicStore() const { return public_; }  // on a server: the replica
  const PublicServer& publicServer() const { return server_; }
  std::string RegistryPath() const { return RegistryPathOf(dir_); }
  std::string WindowsDirectory() const { return dir_ + "/WINDOWS"; }
  std::string LogPath() const { return WindowsDirectory() + "/TEMP/QZTErrLog.txt"; }

  // Opens the profile's stores as the MAPI namespace; events go to loop. Public folders that
  // cannot be opened (missing, damaged) leave the mailbox usable: the namespace holds the
  // mailbox alone and `problem` says why.
  std::shared_ptr<mapistore::MapiSession> OpenStores(win32::Clock& clock, win32::MessageLoop* loop,
                                                     std::string& problem) const;

 private:
  static std::string RegistryPathOf(const std::string& dir) { return dir + "/registry.reg"; }
  explicit Profile(std::string dir) : dir_(std::move(dir)) {}
  std::string dir_, user_, mailbox_, public_;
  PublicServer server_;
};

}  // namespace host
