#include "host/profile.h"

#include "platform/mapistore/mapi_address_lists.h"

#include <filesystem>
#include <fstream>
#include <vector>

#include "host/made_files.h"
#include "host/caldav_module.h"
#include "host/usage_error.h"
#include "platform/com/com_error.h"
#include "platform/mapistore/sqlite_store.h"
#include "platform/outlook/outlook_enums.h"
#include "platform/win32/atomic_file.h"
#include "platform/win32/file_registry.h"

namespace fs = std::filesystem;

namespace host {

const char* const kProfileKey = "Software\\Quorvane\\Profile";

namespace {

std::string ReadText(win32::FileRegistry& reg, win32::HKEY key, const std::string& name) {
  win32::DWORD type = 0;
  win32::Bytes data;
  if (reg.RegQueryValueEx(key, name, &type, &data) != win32::ERROR_SUCCESS || type != win32::REG_SZ) {
    throw std::runtime_error("profile registry " + reg.path() + " has no " + name + " (" + reg.LastErrorText() + ")");
  }
  return std::string(data.begin(), data.end());
}

void WriteText(win32::FileRegistry& reg, win32::HKEY key, const std::string& name, const std::string& value) {
  if (reg.RegSetValueEx(key, name, win32::REG_SZ, win32::Bytes(value.begin(), value.end())) != win32::ERROR_SUCCESS) {
    throw std::runtime_error(reg.LastErrorText());
  }
}

bool ReadOptional(win32::FileRegistry& reg, win32::HKEY key, const std::string& name, std::string& out) {
  win32::DWORD type = 0;
  win32::Bytes data;
  if (reg.RegQueryValueEx(key, name, &type, &data) != win32::ERROR_SUCCESS || type != win32::REG_SZ) return false;
  out.assign(data.begin(), data.end());
  return true;
}

const char* const kServerValues[] = {"PublicUrl", "PublicUser", "PublicPasswordFile"};

void WriteServer(win32::FileRegistry& reg, win32::HKEY key, const PublicServer& server) {
  const std::string values[] = {server.url, server.user, server.passwordFile};
  for (size_t i = 0; i < 3; ++i) {
    if (!values[i].empty()) WriteText(reg, key, kServerValues[i], values[i]);
    else reg.RegDeleteValue(key, kServerValues[i]);
  }
}

caldav::Account AccountOf(const PublicServer& server) {
  caldav::Account account{server.url, server.user, ""};
  if (!server.passwordFile.empty()) {
    std::ifstream in(server.passwordFile, std::ios::binary);
    if (!in) throw UsageError("cannot read the password file " + server.passwordFile);
    std::getline(in, account.password);
    if (!account.password.empty() && account.password.back() == '\r') account.password.pop_back();
  }
  return account;
}

std::string ReplicaPath(const std::string& dir) { return dir + "/public.replica"; }

}  // namespace

std::string Absolute(const std::string& path) { return fs::absolute(path).lexically_normal().string(); }

Profile Profile::Open(const std::string& dir) {
  Profile p(Absolute(dir));
  if (!fs::exists(p.RegistryPath())) throw UsageError("no profile in " + p.dir() + " (create one with 'init')");
  win32::FileRegistry reg(p.RegistryPath());
  win32::HKEY key = 0;
  if (long rc = reg.RegOpenKeyEx(win32::HKEY_CURRENT_USER, kProfileKey, 0, win32::KEY_ALL_ACCESS, &key); rc != 0) {
    if (rc == win32::ERROR_BADDB) throw std::runtime_error(reg.LastErrorText());
    throw UsageError("no profile in " + p.dir() + " (its registry names no stores)");
  }
  p.user_ = ReadText(reg, key, "UserName");
  p.mailbox_ = ReadText(reg, key, "MailboxStore");
  p.public_ = ReadText(reg, key, "PublicStore");
  ReadOptional(reg, key, "PublicUrl", p.server_.url);
  ReadOptional(reg, key, "PublicUser", p.server_.user);
  ReadOptional(reg, key, "PublicPasswordFile", p.server_.passwordFile);
  reg.RegCloseKey(key);
  return p;
}

Profile Profile::Create(const std::string& dir, const std::string& user, const std::string& publicStore,
                        const std::function<void(win32::Registry&)>& setUp, const std::string& address,
                        const PublicServer& server) {
  Profile p(Absolute(dir));
  MadeFiles made(p.dir() + "/init.incomplete");
  if (fs::exists(p.RegistryPath())) throw UsageError("a profile already exists in " + p.dir());
  if (user.empty() || user.find('|') != std::string::npos) throw UsageError("--user needs a name without \"|\"");
  p.user_ = user;
  p.mailbox_ = p.dir() + "/mailbox.store";
  p.server_ = server;
  if (!server.passwordFile.empty()) p.server_.passwordFile = Absolute(server.passwordFile);
  p.public_ = !server.url.empty()    ? ReplicaPath(p.dir())
              : publicStore.empty() ? p.dir() + "/public.store"
                                    : Absolute(publicStore);
  if (fs::exists(p.mailbox_)) throw UsageError("a mailbox exists already in " + p.dir() + " but no profile names it");

  made.Folders(p.WindowsDirectory() + "/TEMP");
  win32::SystemClock clock;
  made.Store(p.mailbox_);
  auto mailbox = mapistore::SqliteStore::Create(p.mailbox_, "Mailbox - " + user, clock);
  mailbox->AddFolder(mailbox->Root().id, "Calendar", 1);
  std::shared_ptr<mapistore::Store> pub;
  if (!server.url.empty()) {
    made.Store(p.public_);
    pub = OpenCalDavStore(AccountOf(p.server_), p.public_, mapistore::DbServices{clock}, false);
  } else if (fs::exists(p.public_)) {
    pub = mapistore::SqliteStore::Open(p.public_, clock);
  } else {
    made.Folders(fs::path(p.public_).parent_path());
    made.SharedStore(p.public_);
    pub = mapistore::SqliteStore::Create(p.public_, "Public Folders", clock, outlook::olPostItem);
    pub->AddFolder(pub->Root().id, "All Public Folders", 0);
  }
  mailbox->MakeDurable();

  made.File(p.RegistryPath());
  made.File(p.RegistryPath() + ".lock");
  win32::FileRegistry reg(p.RegistryPath());
  win32::HKEY key = 0;
  if (reg.RegCreateKeyEx(win32::HKEY_CURRENT_USER, kProfileKey, "", 0, win32::KEY_ALL_ACCESS, &key, nullptr) != 0) {
    throw std::runtime_error(reg.LastErrorText());
  }
  WriteText(reg, key, "UserName", p.user_);
  WriteText(reg, key, "MailboxStore", p.mailbox_);
  WriteText(reg, key, "PublicStore", p.public_);
  WriteServer(reg, key, p.server_);
  reg.RegCloseKey(key);
  if (setUp) setUp(reg);
  // The shared public folders are changed last, when nothing else can fail.
  pub->AddAddress(mapistore::AddressRecord{mapistore::kGlobalAddressList, user,
                                           address.empty() ? user + "@workgroup" : address});
  pub->MakeDurable();
  made.Keep();
  return p;
}

std::shared_ptr<mapistore::MapiSession> Profile::OpenStores(win32::Clock& clock, win32::MessageLoop* loop,
                                                             std::string& problem) const {
  auto session = std::make_shared<mapistore::MapiSession>(loop);
  const mapistore::DbServices services{clock, loop};
  std::shared_ptr<mapistore::Store> mailbox;
  try {
    mailbox = mapistore::SqliteStore::Open(mailbox_, services);
  } catch (const com::ComError& e) {
    // A store keeps its log files beside it, so even a reader needs to write in the folder.
    const std::string why = win32::ReadOnlyReason(dir_);
    if (why.empty()) throw;
    throw std::runtime_error(e.description() + " (" + why + ")");
  }
  session->AddStore(mailbox);
  problem.clear();
  try {
    if (!server_.url.empty()) {
      // Cached: a server that does not answer leaves the store offline, and the passes stop.
      session->AddStore(OpenCalDavStore(AccountOf(server_), public_, services, true));
    } else {
      if (!fs::exists(public_)) throw std::runtime_error("there is no file " + public_);
      session->AddStore(std::shared_ptr<mapistore::Store>(mapistore::SqliteStore::Open(public_, services)));
    }
  } catch (const com::ComError& e) {
    problem = "the public folders cannot be opened: " + e.description();
  } catch (const std::exception& e) {
    problem = "the public folders cannot be opened: " + std::string(e.what());
  }
  for (const auto& f : mailbox->SubFolders(mailbox->Root().id)) {
    if (f.name == "Calendar") session->SetDefaultCalendar(mailbox, f.id);
  }
  return session;
}

}  // namespace host

namespace host {

void Profile::SwitchPublic(const PublicServer& server, const std::string& publicStore) {
  PublicServer next = server;
  if (!next.passwordFile.empty()) next.passwordFile = Absolute(next.passwordFile);
  const std::string path = !next.url.empty()     ? ReplicaPath(dir_)
                           : publicStore.empty() ? dir_ + "/public.store"
                                                 : Absolute(publicStore);
  win32::SystemClock clock;
  if (!next.url.empty()) {
    // A replica of another server's folders would mix two servers' items: it starts afresh.
    std::error_code ec;
    for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(path + suffix, ec);
    MadeFiles made(dir_ + "/switch.incomplete");
    made.Store(path);
    OpenCalDavStore(AccountOf(next), path, mapistore::DbServices{clock}, false)->MakeDurable();
    made.Keep();
  } else {
    mapistore::SqliteStore::Open(path, clock);  // refuses what is no store
  }
  win32::FileRegistry reg(RegistryPath());
  win32::HKEY key = 0;
  if (reg.RegOpenKeyEx(win32::HKEY_CURRENT_USER, kProfileKey, 0, win32::KEY_ALL_ACCESS, &key) != 0) {
    throw std::runtime_error(reg.LastErrorText());
  }
  WriteText(reg, key, "PublicStore", path);
  WriteServer(reg, key, next);
  reg.RegCloseKey(key);
  public_ = path;
  server_ = next;
}

}  // namespace host
