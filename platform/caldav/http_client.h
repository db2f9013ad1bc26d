#pragma once
// HTTP through libcurl: one connection kept open to the server, basic authentication, HTTPS
// with the system's certificates. A server that cannot be reached, or does not answer within a
// few seconds, raises the store's network error naming the server.
#include <memory>
#include <string>
#include <vector>

namespace caldav {

struct Account {
  std::string url;  // a calendar home or one calendar collection
  std::string user;  // empty: no authentication
  std::string password;
};

struct HttpRequest {
  std::string method = "GET";
  std::string url;
  std::string body;
  std::vector<std::string> headers;  // "Name: value"
};

struct HttpResponse {
  long status = 0;
  std::string reason;  // the status line's text
  std::string body;
  std::string etag;  // the ETag header, empty when none
};

class HttpClient {
 public:
  explicit HttpClient(Account account);
  ~HttpClient();
  HttpClient(const HttpClient&) = delete;
  HttpClient& operator=(const HttpClient&) = delete;

  HttpResponse Send(const HttpRequest& request);
  // scheme://host[:port] of the account's URL, as errors name the server.
  const std::string& Server() const { return server_; }
  // An href the server gave (a path) as a whole URL.
  std::string UrlOf(const std::string& href) const;

  static constexpr long kConnectTimeoutMs = 3000;
  static constexpr long kStalledSeconds = 10;  // no byte for so long: the server is gone

 private:
  Account account_;
  std::string server_;
  void* curl_;
};

}  // namespace caldav
