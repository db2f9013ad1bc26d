#pragma once
// WebDAV's XML (RFC 4918, 4791, 6578) through libxml2: the bodies our requests send and the
// multistatus answers they get.
#include <string>
#include <vector>

namespace caldav {

// One <response> of a multistatus, with the properties its propstat found (status 200).
struct DavResponse {
  std::string href;  // as the server wrote it, percent-escapes decoded
  long status = 0;   // the response's own status (a removed member in a sync report: 404), 0 when none
  std::string etag, calendarData, displayName;
  bool isCollection = false, isCalendar = false;
};

struct MultiStatus {
  std::vector<DavResponse> responses;
  std::string syncToken;  // of a sync-collection report
};

// Raises the store's error naming what when the text is not a multistatus.
MultiStatus ParseMultiStatus(const std::string& xml, const std::string& what);

// PROPFIND asking for resourcetype and displayname, and with etags getetag too (which a server
// may have to compute from every member for a collection).
std::string PropfindBody(bool etags);
// sync-collection from token (empty: everything), asking for getetag and calendar-data: the
// changed events come with the answer, without a second request for them.
std::string SyncCollectionBody(const std::string& token);
// calendar-multiget of the hrefs, asking for getetag and calendar-data.
std::string MultigetBody(const std::vector<std::string>& hrefs);
// MKCALENDAR of a calendar for events named displayName.
std::string MkCalendarBody(const std::string& displayName);

// A path with every byte outside unreserved characters and "/" percent-escaped, and back (any
// %XX undone).
std::string EscapePath(const std::string& path);
std::string UnescapePath(const std::string& path);

}  // namespace caldav
