#include "platform/caldav/http_client.h"

#include <curl/curl.h>
#include <strings.h>

#include <mutex>

#include "platform/com/com_error.h"
#include "platform/mapistore/store_errors.h"

namespace caldav {

namespace {

size_t Collect(char* data, size_t size, size_t n, void* out) {
  static_cast<std::string*>(out)->append(data, size * n);
  return size * n;
}

// Headers: the status line's reason and the ETag.
size_t CollectHeader(char* data, size_t size, size_t n, void* out) {
  auto* r = static_cast<HttpResponse*>(out);
  std::string line(data, size * n);
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
  if (line.rfind("HTTP/", 0) == 0) {
    const size_t sp1 = line.find(' '), sp2 = sp1 == std::string::npos ? sp1 : line.find(' ', sp1 + 1);
    r->reason = sp2 == std::string::npos ? "" : line.substr(sp2 + 1);
    r->etag.clear();  // a new response (after a 100 Continue)
  } else if (line.size() > 5 && strncasecmp(line.c_str(), "etag:", 5) == 0) {
    const size_t v = line.find_first_not_of(" \t", 5);
    r->etag = v == std::string::npos ? "" : line.substr(v);
  }
  return size * n;
}

// Without any user and password written into the URL: errors and logs name the server.
std::string ServerOf(const std::string& url) {
  const size_t scheme = url.find("://");
  const size_t host = scheme == std::string::npos ? 0 : scheme + 3;
  const size_t path = url.find('/', host);
  std::string server = path == std::string::npos ? url : url.substr(0, path);
  if (const size_t at = server.rfind('@'); at != std::string::npos && at >= host) server.erase(host, at + 1 - host);
  return server;
}

}  // namespace

HttpClient::HttpClient(Account account) : account_(std::move(account)), server_(ServerOf(account_.url)) {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
  curl_ = curl_easy_init();
  if (!curl_) com::Raise(mapistore::kErrCallFailed, "libcurl could not be started");
}

HttpClient::~HttpClient() { curl_easy_cleanup(static_cast<CURL*>(curl_)); }

std::string HttpClient::UrlOf(const std::string& href) const {
  if (href.find("://") != std::string::npos) return href;
  return server_ + (href.empty() || href[0] != '/' ? "/" : "") + href;
}

HttpResponse HttpClient::Send(const HttpRequest& request) {
  CURL* c = static_cast<CURL*>(curl_);
  curl_easy_reset(c);
  HttpResponse response;
  curl_easy_setopt(c, CURLOPT_URL, request.url.c_str());
  curl_easy_setopt(c, CURLOPT_CUSTOMREQUEST, request.method.c_str());
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, kConnectTimeoutMs);
  curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, kStalledSeconds);
  curl_easy_setopt(c, CURLOPT_ACCEPT_ENCODING, "");  // whatever libcurl can decode
  if (!account_.user.empty()) {
    curl_easy_setopt(c, CURLOPT_HTTPAUTH, CURLAUTH_BASIC);
    curl_easy_setopt(c, CURLOPT_USERNAME, account_.user.c_str());
    curl_easy_setopt(c, CURLOPT_PASSWORD, account_.password.c_str());
  }
  if (request.method == "HEAD") curl_easy_setopt(c, CURLOPT_NOBODY, 1L);
  if (!request.body.empty() || request.method == "PUT") {
    curl_easy_setopt(c, CURLOPT_POSTFIELDS, request.body.data());
    curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
  }
  curl_slist* headers = nullptr;
  for (const std::string& h : request.headers) headers = curl_slist_append(headers, h.c_str());
  headers = curl_slist_append(headers, "Expect:");  // no wait for 100 Continue before a body
  curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, Collect);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, &response.body);
  curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, CollectHeader);
  curl_easy_setopt(c, CURLOPT_HEADERDATA, &response);
  const CURLcode rc = curl_easy_perform(c);
  curl_slist_free_all(headers);
  if (rc != CURLE_OK) {
    com::Raise(mapistore::kErrNetwork, "Network problems are preventing connection to " + server_ + " (" +
                                           curl_easy_strerror(rc) + ").");
  }
  curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &response.status);
  return response;
}

}  // namespace caldav
