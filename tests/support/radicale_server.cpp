#include "tests/support/radicale_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <thread>

namespace testing_support {

namespace {

int FreePort() {
  const int s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  if (::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
    ::close(s);
    throw std::runtime_error("no free port for Radicale");
  }
  ::close(s);
  return ntohs(a.sin_port);
}

bool Answers(int port) {
  const int s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<uint16_t>(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  ::close(s);
  return ok;
}

}  // namespace

RadicaleServer::RadicaleServer() : storage_(dir_ / "collections"), port_(FreePort()) { Start(); }

RadicaleServer::~RadicaleServer() { Stop(); }

void RadicaleServer::Start() {
  if (pid_) return;
  const std::string hosts = "127.0.0.1:" + std::to_string(port_);
  const std::string config = dir_ / "config";
  // No configuration of the machine's own: only what is given here.
  WriteFile(config, "[server]\nhosts = " + hosts + "\n[auth]\ntype = none\n[rights]\ntype = owner_only\n"
                    "[storage]\nfilesystem_folder = " + storage_ + "\n[logging]\nlevel = warning\n");
  pid_ = ::fork();
  if (pid_ == 0) {
    const std::string log = dir_ / "radicale.log";
    FILE* out = std::freopen(log.c_str(), "a", stderr);
    (void)out;
    ::execl("/usr/bin/python3", "python3", "-m", "radicale", "--config", config.c_str(), nullptr);
    ::_exit(127);
  }
  for (int i = 0; i < 200; ++i) {
    if (Answers(port_)) return;
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = 0;
      throw std::runtime_error("Radicale did not start: " + ReadFile(dir_ / "radicale.log"));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  Stop();
  throw std::runtime_error("Radicale does not answer on " + hosts);
}

void RadicaleServer::Stop() {
  if (!pid_) return;
  ::kill(pid_, SIGTERM);
  int status = 0;
  ::waitpid(pid_, &status, 0);
  pid_ = 0;
}

PlainResponse PlainRequest(const caldav::Account& account, const std::string& method, const std::string& path,
                           const std::string& body, const std::string& contentType) {
  caldav::HttpClient http(account);
  caldav::HttpRequest req{method, http.UrlOf(path), body, {"Content-Type: " + contentType}};
  if (method == "PROPFIND" || method == "REPORT") req.headers.push_back("Depth: 1");
  const caldav::HttpResponse r = http.Send(req);
  return PlainResponse{r.status, r.body};
}

}  // namespace testing_support
