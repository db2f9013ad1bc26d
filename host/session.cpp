#include "host/session.h"

#include <unistd.h>

#include <iostream>

#include "host/command_bar_store.h"
#include "platform/com/class_registry.h"
#include "platform/com/com_error.h"
#include "platform/win32/atomic_file.h"

namespace host {

std::string ProgramDirectory() {
  char buf[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return ".";
  std::string path(buf, static_cast<size_t>(n));
  return path.substr(0, path.find_last_of('/'));
}

void RegisterClassLibraries() {
  const std::string dir = ProgramDirectory();
  auto& classes = com::ClassRegistry::Instance();
  classes.RegisterLibrary("QuorvaneDLL.QuorvaneClass", dir + "/QuorvaneDLL.so");
  classes.RegisterLibrary("Pagorin.UCAdminPage", dir + "/Pagorin.so");
}

const char* const kAddInKey = "Software\\Microsoft\\Office\\Outlook\\Addins\\QuorvaneDLL.QuorvaneClass";

void RegisterAddIn(win32::Registry& registry) {
  win32::HKEY key = 0;
  if (registry.RegCreateKeyEx(win32::HKEY_CURRENT_USER, kAddInKey, "", 0, win32::KEY_ALL_ACCESS, &key, nullptr) != 0) {
    throw std::runtime_error(registry.LastErrorText());
  }
  const std::string name = "Quorvane";
  registry.RegSetValueEx(key, "FriendlyName", win32::REG_SZ, win32::Bytes(name.begin(), name.end()));
  registry.RegSetValueEx(key, "LoadBehavior", win32::REG_DWORD, win32::DwordBytes(3));
  registry.RegCloseKey(key);
}

namespace {

// A writer is refused at the start, not half-way through its command, when it may not change
// the profile.
std::unique_ptr<ProfileLock> TakeProfile(const Profile& profile, const SessionOptions& options) {
  if (std::string why = win32::ReplaceRefusal(profile.RegistryPath()); !why.empty()) {
    throw std::runtime_error("profile " + profile.dir() + " cannot be changed: " + why + "; nothing was changed");
  }
  return std::make_unique<ProfileLock>(profile.dir(), options.holder, options.lockWaitSeconds);
}

}  // namespace

Session::Session(Profile profile, const SessionOptions& options, Access access)
    : profile_(std::move(profile)),
      lock_(access == Access::Write ? TakeProfile(profile_, options) : nullptr),
      registry_(profile_.RegistryPath()),
      ui_(options.answer, options.interactive, options.actions),
      clock_(options.minuteMs > 0 ? std::unique_ptr<win32::Clock>(new win32::ScaledClock(options.minuteMs))
                                  : std::unique_ptr<win32::Clock>(new win32::SystemClock())),
      loop_(*clock_),
      env_{registry_, options.ui ? *options.ui : ui_, *clock_, loop_, profile_.WindowsDirectory()},
      ns_(profile_.OpenStores(*clock_, &loop_, storeProblem_)),
      explorer_(std::make_shared<mapistore::MapiExplorer>(LoadCommandBars(registry_))),
      application_(std::make_shared<mapistore::MapiApplication>(ns_, explorer_)),
      printers_(profile_.dir() + "/Printed") {
  if (!storeProblem_.empty()) std::cerr << "quorvane: " << storeProblem_ << "; the mailbox is used alone\n";
  win32::SetEnv(&env_);
  printer::SetPrinters(&printers_);
  RegisterClassLibraries();
  // The explorer opens on the default calendar.
  try {
    explorer_->SetCurrentFolder(ns_->GetDefaultFolder(9));
  } catch (const com::ComError&) {
  }
}

Session::~Session() {
  DisconnectAddIn();
  // Only a writer keeps the bars: a reader's may be older than those of a writer beside it.
  if (lock_) {
    try {
      SaveCommandBars(registry_, *explorer_->CommandBars().get());
    } catch (const std::exception& e) {
      std::cerr << "quorvane: the toolbars could not be kept: " << e.what() << "\n";
    }
  }
  printer::SetPrinters(nullptr);
  win32::SetEnv(nullptr);
}

void Session::Close() {
  explorer_->Close();
  DisconnectAddIn();
  ns_->Settle();  // a copy still waiting in memory is stored, or the failure is the command's
}

bool Session::ConnectAddIn() {
  win32::HKEY key = 0;
  win32::DWORD type = 0;
  win32::Bytes data;
  const bool registered = registry_.RegOpenKeyEx(win32::HKEY_CURRENT_USER, kAddInKey, 0, 0, &key) == 0 &&
                          registry_.RegQueryValueEx(key, "LoadBehavior", &type, &data) == 0 &&
                          (win32::BytesToDword(data) & 1) != 0;
  if (key) registry_.RegCloseKey(key);
  if (!registered) {
    std::cerr << "quorvane: the add-in is not registered to load in this profile (" << kAddInKey << ")\n";
    return false;
  }
  try {
    addIn_ = com::CreateObject("QuorvaneDLL.QuorvaneClass");
  } catch (const com::ComError& e) {
    std::cerr << "quorvane: cannot load the add-in: " << e.description() << "\n";
    return false;
  }
  auto* ext = dynamic_cast<com::IDTExtensibility2*>(addIn_.get());
  if (!ext) {
    std::cerr << "quorvane: QuorvaneDLL.QuorvaneClass is not an add-in\n";
    addIn_.reset();
    return false;
  }
  com::Args custom;
  ext->OnConnection(application_, 0, nullptr, custom);
  return true;
}

void Session::StartAddIn() {
  com::Args custom;
  if (auto* ext = dynamic_cast<com::IDTExtensibility2*>(addIn_.get())) ext->OnStartupComplete(custom);
}

void Session::DisconnectAddIn() {
  if (!addIn_) return;
  com::Args custom;
  if (auto* ext = dynamic_cast<com::IDTExtensibility2*>(addIn_.get())) {
    ext->OnBeginShutdown(custom);
    ext->OnDisconnection(0, custom);
  }
  addIn_.reset();
}

}  // namespace host
