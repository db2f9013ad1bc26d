#pragma once
// The CalDAV requests the public folders need (RFC 4791, sync-collection RFC 6578). Hrefs are
// paths on the account's server, unescaped. Failures raise the store's errors: the network
// error when the server cannot be reached or answers 5xx, "changed" when a precondition on an
// ETag fails, and a plain failure naming the server and the HTTP status otherwise.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/caldav/http_client.h"

namespace caldav {

struct CollectionInfo {
  std::string href;  // ends with "/"
  std::string displayName;
};

struct Resource {
  std::string href, etag, data;
};

struct ChangeList {
  std::vector<Resource> changed;  // the text empty when the server did not send it
  std::vector<std::string> removed;
  std::string token;
};

class CalDavClient {
 public:
  explicit CalDavClient(Account account) : base_(account.url), http_(std::move(account)) {}

  const std::string& Server() const { return http_.Server(); }
  // The account's URL as a path on its server.
  std::string BasePath() const;
  // The calendars the account's URL names: itself when it is one, else those right below it.
  std::vector<CollectionInfo> Calendars(const std::string& baseUrl);
  // What changed in the collection since token (empty: every member); nullopt when the server
  // offers no sync-collection or no longer knows the token.
  std::optional<ChangeList> Changes(const std::string& collection, const std::string& token);
  // Every member's ETag, by PROPFIND.
  std::vector<Resource> Etags(const std::string& collection);
  // The members' texts and ETags, fetched many at a time; members gone meanwhile are left out.
  std::vector<Resource> Fetch(const std::string& collection, const std::vector<std::string>& hrefs);
  // Stores the text at href: over the version with ETag ifMatch, or, with ifMatch empty, only
  // where nothing is. Returns the new ETag (empty when the server gives none).
  std::string Put(const std::string& href, const std::string& text, const std::string& ifMatch);
  // Deletes the member if it still has that ETag; one already gone counts as deleted.
  void Delete(const std::string& href, const std::string& ifMatch);
  CollectionInfo MakeCalendar(const std::string& parent, const std::string& displayName);

  static constexpr size_t kFetchBatch = 500;

 private:
  HttpResponse Send(const std::string& method, const std::string& href, const std::string& body,
                    std::vector<std::string> headers);
  [[noreturn]] void Fail(const std::string& method, const std::string& href, const HttpResponse& r);
  std::string PathOf(const std::string& hrefOrUrl) const;

  std::string base_;  // the account's URL
  HttpClient http_;
};

}  // namespace caldav
