#include "host/session.h"

#include <unistd.h>

#include <iostream>

#include "platform/com/class_registry.h"
#include "platform/com/com_error.h"

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

Session::Session(Profile profile, const SessionOptions& options)
    : profile_(std::move(profile)),
      registry_(profile_.RegistryPath()),
      ui_(options.answer, options.interactive),
      loop_(clock_),
      env_{registry_, ui_, clock_, loop_, profile_.WindowsDirectory()},
      ns_(profile_.OpenStores(clock_, &loop_)),
      explorer_(std::make_shared<mapistore::MapiExplorer>()),
      application_(std::make_shared<mapistore::MapiApplication>(ns_, explorer_)) {
  win32::SetEnv(&env_);
  RegisterClassLibraries();
}

Session::~Session() {
  DisconnectAddIn();
  win32::SetEnv(nullptr);
}

bool Session::ConnectAddIn() {
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
