#pragma once
// An item of the public folders as the event a CalDAV server keeps: its own iCalendar
// properties for what every calendar program shows, and X-QUORVANE- properties for the rest of
// the item (the fields iCalendar has no place for, user properties, the entry ID and the
// modification time), so that every member reads back the whole item.
#include <string>

#include "platform/mapistore/records.h"

namespace caldav {

// The calendar text of the item under the resource's UID.
std::string EventText(const mapistore::ItemRecord& item, const std::string& uid);

struct ServerEvent {
  mapistore::ItemRecord item;  // folder and ID not set; entryId empty when the event has none
  std::string uid;
  int64_t modifiedMs = 0;  // what the event says: the later of our stamp and LAST-MODIFIED; 0: neither
};

// Raises ical::Refused when the text is no event the store can hold as it is.
ServerEvent ReadServerEvent(const std::string& text, const std::string& href);

}  // namespace caldav
