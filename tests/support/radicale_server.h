#pragma once
// A Radicale CalDAV server of the test's own: a free port on the loopback, a storage folder that
// goes with the test, anyone accepted under any password. Stopped at the end; tests may stop
// and start it again in between (same port, same storage).
#include <string>
#include <sys/types.h>

#include "platform/caldav/http_client.h"
#include "tests/support/temp_dir.h"

namespace testing_support {

class RadicaleServer {
 public:
  RadicaleServer();
  ~RadicaleServer();
  RadicaleServer(const RadicaleServer&) = delete;
  RadicaleServer& operator=(const RadicaleServer&) = delete;

  void Start();  // returns once the server answers
  void Stop();
  // http://127.0.0.1:PORT
  std::string Origin() const { return "http://127.0.0.1:" + std::to_string(port_); }
  // The account whose calendar home is /user/.
  caldav::Account AccountOf(const std::string& user) const {
    return caldav::Account{Origin() + "/" + user + "/", user, "secret-" + user};
  }
  const std::string& storage() const { return storage_; }

 private:
  TempDir dir_;
  std::string storage_;
  int port_ = 0;
  pid_t pid_ = 0;
};

// A plain HTTP request as another CalDAV client makes it; the status and the body.
struct PlainResponse {
  long status = 0;
  std::string body;
};
PlainResponse PlainRequest(const caldav::Account& account, const std::string& method, const std::string& path,
                           const std::string& body = "", const std::string& contentType = "text/calendar");

}  // namespace testing_support
