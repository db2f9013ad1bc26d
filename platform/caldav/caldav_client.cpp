#include "platform/caldav/caldav_client.h"

#include "platform/caldav/dav_xml.h"
#include "platform/com/com_error.h"
#include "platform/mapistore/store_errors.h"

namespace caldav {

namespace {
const char* kXml = "Content-Type: application/xml; charset=utf-8";
}

std::string CalDavClient::PathOf(const std::string& hrefOrUrl) const {
  std::string path = hrefOrUrl;
  if (const size_t scheme = path.find("://"); scheme != std::string::npos) {
    const size_t slash = path.find('/', scheme + 3);
    path = slash == std::string::npos ? "/" : path.substr(slash);
  }
  return path;
}

std::string CalDavClient::BasePath() const { return UnescapePath(PathOf(base_)); }

HttpResponse CalDavClient::Send(const std::string& method, const std::string& href, const std::string& body,
                                std::vector<std::string> headers) {
  if (!body.empty() && method != "PUT") headers.push_back(kXml);
  HttpRequest req{method, http_.UrlOf(EscapePath(PathOf(href))), body, std::move(headers)};
  HttpResponse r = http_.Send(req);
  if (r.status >= 500) {
    com::Raise(mapistore::kErrNetwork, "Network problems are preventing connection to " + Server() + " (HTTP " +
                                           std::to_string(r.status) + " " + r.reason + " to " + method + ").");
  }
  return r;
}

void CalDavClient::Fail(const std::string& method, const std::string& href, const HttpResponse& r) {
  if (r.status == 412) mapistore::RaiseChanged();
  com::Raise(mapistore::kErrCallFailed, Server() + " refused " + method + " " + href + ": HTTP " +
                                            std::to_string(r.status) + " " + r.reason);
}

std::vector<CollectionInfo> CalDavClient::Calendars(const std::string& baseUrl) {
  const std::string base = UnescapePath(PathOf(baseUrl));
  std::vector<CollectionInfo> out;
  // The URL itself first: a calendar is that one alone, and its members are not listed.
  for (const char* depth : {"Depth: 0", "Depth: 1"}) {
    HttpResponse r = Send("PROPFIND", base, PropfindBody(false), {depth});
    if (r.status != 207) Fail("PROPFIND", base, r);
    for (const DavResponse& d : ParseMultiStatus(r.body, Server() + " (PROPFIND " + base + ")").responses) {
      if (!d.isCalendar) continue;
      std::string href = PathOf(d.href);
      if (href.back() != '/') href += '/';
      std::string name = d.displayName;
      if (name.empty()) {
        const std::string path = href.substr(0, href.size() - 1);
        name = path.substr(path.rfind('/') + 1);
      }
      out.push_back(CollectionInfo{href, name});
    }
    if (!out.empty()) return out;
  }
  return out;
}

std::optional<ChangeList> CalDavClient::Changes(const std::string& collection, const std::string& token) {
  HttpResponse r = Send("REPORT", collection, SyncCollectionBody(token), {"Depth: 1"});
  // 403/409 with valid-sync-token: the token is no longer known; 400/405/501: no such report.
  if (r.status != 207) {
    if (r.status == 400 || r.status == 403 || r.status == 405 || r.status == 409 || r.status == 415 || r.status == 501) {
      return std::nullopt;
    }
    Fail("REPORT", collection, r);
  }
  const MultiStatus ms = ParseMultiStatus(r.body, Server() + " (sync-collection " + collection + ")");
  ChangeList out;
  out.token = ms.syncToken;
  for (const DavResponse& d : ms.responses) {
    const std::string href = PathOf(d.href);
    if (href == collection || href + "/" == collection) continue;
    if (d.status == 404) out.removed.push_back(href);
    else out.changed.push_back(Resource{href, d.etag, d.calendarData});
  }
  return out;
}

std::vector<Resource> CalDavClient::Etags(const std::string& collection) {
  HttpResponse r = Send("PROPFIND", collection, PropfindBody(true), {"Depth: 1"});
  if (r.status != 207) Fail("PROPFIND", collection, r);
  std::vector<Resource> out;
  for (const DavResponse& d : ParseMultiStatus(r.body, Server() + " (PROPFIND " + collection + ")").responses) {
    if (!d.isCollection) out.push_back(Resource{PathOf(d.href), d.etag, ""});
  }
  return out;
}

std::vector<Resource> CalDavClient::Fetch(const std::string& collection, const std::vector<std::string>& hrefs) {
  std::vector<Resource> out;
  for (size_t from = 0; from < hrefs.size(); from += kFetchBatch) {
    const std::vector<std::string> batch(hrefs.begin() + from, hrefs.begin() + std::min(hrefs.size(), from + kFetchBatch));
    HttpResponse r = Send("REPORT", collection, MultigetBody(batch), {"Depth: 1"});
    if (r.status != 207) Fail("REPORT", collection, r);
    for (DavResponse& d : ParseMultiStatus(r.body, Server() + " (calendar-multiget " + collection + ")").responses) {
      if (d.status == 404 || d.calendarData.empty()) continue;
      out.push_back(Resource{PathOf(d.href), d.etag, std::move(d.calendarData)});
    }
  }
  return out;
}

std::string CalDavClient::Put(const std::string& href, const std::string& text, const std::string& ifMatch) {
  HttpResponse r = Send("PUT", href, text,
                        {"Content-Type: text/calendar; charset=utf-8",
                         ifMatch.empty() ? "If-None-Match: *" : "If-Match: " + ifMatch});
  if (r.status != 200 && r.status != 201 && r.status != 204) Fail("PUT", href, r);
  return r.etag;
}

void CalDavClient::Delete(const std::string& href, const std::string& ifMatch) {
  std::vector<std::string> headers;
  if (!ifMatch.empty()) headers.push_back("If-Match: " + ifMatch);
  HttpResponse r = Send("DELETE", href, "", headers);
  if (r.status == 404) return;
  if (r.status != 200 && r.status != 204) Fail("DELETE", href, r);
}

CollectionInfo CalDavClient::MakeCalendar(const std::string& parent, const std::string& displayName) {
  std::string slug;
  for (unsigned char c : displayName) slug += std::isalnum(c) ? static_cast<char>(std::tolower(c)) : '-';
  std::string href = PathOf(parent);
  if (href.back() != '/') href += '/';
  href += slug + "-" + std::to_string(std::hash<std::string>()(displayName) % 100000) + "/";
  HttpResponse r = Send("MKCALENDAR", href, MkCalendarBody(displayName), {});
  if (r.status != 201) Fail("MKCALENDAR", href, r);
  return CollectionInfo{href, displayName};
}

}  // namespace caldav
