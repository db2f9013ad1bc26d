#include "platform/caldav/dav_xml.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstring>
#include <memory>

#include "platform/com/com_error.h"
#include "platform/mapistore/store_errors.h"

namespace caldav {

namespace {

constexpr const char* kDav = "DAV:";
constexpr const char* kCalDav = "urn:ietf:params:xml:ns:caldav";

using DocPtr = std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)>;

const xmlChar* X(const char* s) { return reinterpret_cast<const xmlChar*>(s); }

bool Is(const xmlNode* n, const char* ns, const char* name) {
  return n && n->type == XML_ELEMENT_NODE && n->ns && n->ns->href && std::strcmp(reinterpret_cast<const char*>(n->ns->href), ns) == 0 &&
         std::strcmp(reinterpret_cast<const char*>(n->name), name) == 0;
}

std::string Content(const xmlNode* n) {
  xmlChar* c = xmlNodeGetContent(n);
  std::string s = c ? reinterpret_cast<const char*>(c) : "";
  xmlFree(c);
  return s;
}

long StatusOf(const std::string& line) {  // "HTTP/1.1 404 Not Found"
  const size_t sp = line.find(' ');
  return sp == std::string::npos ? 0 : std::strtol(line.c_str() + sp + 1, nullptr, 10);
}

template <typename F>
void Children(const xmlNode* n, F f) {
  for (const xmlNode* c = n ? n->children : nullptr; c; c = c->next) {
    if (c->type == XML_ELEMENT_NODE) f(c);
  }
}

void ReadProps(const xmlNode* prop, DavResponse& r) {
  Children(prop, [&](const xmlNode* p) {
    if (Is(p, kDav, "getetag")) r.etag = Content(p);
    if (Is(p, kDav, "displayname")) r.displayName = Content(p);
    if (Is(p, kCalDav, "calendar-data")) r.calendarData = Content(p);
    if (Is(p, kDav, "resourcetype")) {
      Children(p, [&](const xmlNode* t) {
        if (Is(t, kDav, "collection")) r.isCollection = true;
        if (Is(t, kCalDav, "calendar")) r.isCalendar = true;
      });
    }
  });
}

// A request body: a root element in the DAV and CalDAV namespaces.
class Body {
 public:
  explicit Body(const char* rootNs, const char* root) : doc_(xmlNewDoc(X("1.0")), xmlFreeDoc) {
    root_ = xmlNewDocNode(doc_.get(), nullptr, X(root), nullptr);
    xmlDocSetRootElement(doc_.get(), root_);
    dav_ = xmlNewNs(root_, X(kDav), X("D"));
    cal_ = xmlNewNs(root_, X(kCalDav), X("C"));
    xmlSetNs(root_, std::strcmp(rootNs, kDav) == 0 ? dav_ : cal_);
  }
  xmlNode* root() { return root_; }
  xmlNode* Dav(xmlNode* parent, const char* name, const std::string& text = "") { return Add(parent, dav_, name, text); }
  xmlNode* Cal(xmlNode* parent, const char* name) { return Add(parent, cal_, name, ""); }
  std::string Text() {
    xmlChar* out = nullptr;
    int size = 0;
    xmlDocDumpMemoryEnc(doc_.get(), &out, &size, "UTF-8");
    std::string s(reinterpret_cast<const char*>(out), static_cast<size_t>(size));
    xmlFree(out);
    return s;
  }

 private:
  xmlNode* Add(xmlNode* parent, xmlNs* ns, const char* name, const std::string& text) {
    // xmlNewTextChild escapes the text.
    return xmlNewTextChild(parent, ns, X(name), text.empty() ? nullptr : X(text.c_str()));
  }
  DocPtr doc_;
  xmlNode* root_;
  xmlNs *dav_, *cal_;
};

}  // namespace

MultiStatus ParseMultiStatus(const std::string& xml, const std::string& what) {
  DocPtr doc(xmlReadMemory(xml.data(), static_cast<int>(xml.size()), nullptr, "UTF-8",
                           XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_HUGE),
             xmlFreeDoc);
  const xmlNode* root = doc ? xmlDocGetRootElement(doc.get()) : nullptr;
  if (!Is(root, kDav, "multistatus")) com::Raise(mapistore::kErrCallFailed, what + " gave no WebDAV multistatus answer");
  MultiStatus ms;
  Children(root, [&](const xmlNode* n) {
    if (Is(n, kDav, "sync-token")) ms.syncToken = Content(n);
    if (!Is(n, kDav, "response")) return;
    DavResponse r;
    Children(n, [&](const xmlNode* c) {
      if (Is(c, kDav, "href")) r.href = UnescapePath(Content(c));
      if (Is(c, kDav, "status")) r.status = StatusOf(Content(c));
      if (Is(c, kDav, "propstat")) {
        long status = 0;
        const xmlNode* prop = nullptr;
        Children(c, [&](const xmlNode* p) {
          if (Is(p, kDav, "status")) status = StatusOf(Content(p));
          if (Is(p, kDav, "prop")) prop = p;
        });
        if (status / 100 == 2) ReadProps(prop, r);
      }
    });
    ms.responses.push_back(std::move(r));
  });
  return ms;
}

std::string PropfindBody(bool etags) {
  Body b(kDav, "propfind");
  xmlNode* prop = b.Dav(b.root(), "prop");
  for (const char* name : {"resourcetype", "displayname"}) b.Dav(prop, name);
  if (etags) b.Dav(prop, "getetag");
  return b.Text();
}

std::string SyncCollectionBody(const std::string& token) {
  Body b(kDav, "sync-collection");
  b.Dav(b.root(), "sync-token", token);
  b.Dav(b.root(), "sync-level", "1");
  xmlNode* prop = b.Dav(b.root(), "prop");
  b.Dav(prop, "getetag");
  b.Cal(prop, "calendar-data");
  return b.Text();
}

std::string MultigetBody(const std::vector<std::string>& hrefs) {
  Body b(kCalDav, "calendar-multiget");
  xmlNode* prop = b.Dav(b.root(), "prop");
  b.Dav(prop, "getetag");
  b.Cal(prop, "calendar-data");
  for (const std::string& h : hrefs) b.Dav(b.root(), "href", EscapePath(h));
  return b.Text();
}

std::string MkCalendarBody(const std::string& displayName) {
  Body b(kCalDav, "mkcalendar");
  xmlNode* prop = b.Dav(b.Dav(b.root(), "set"), "prop");
  b.Dav(prop, "displayname", displayName);
  xmlNode* set = b.Cal(prop, "supported-calendar-component-set");
  xmlNode* comp = b.Cal(set, "comp");
  xmlNewProp(comp, X("name"), X("VEVENT"));
  return b.Text();
}

std::string EscapePath(const std::string& path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : path) {
    if (std::isalnum(c) || std::strchr("-._~/@", c)) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

std::string UnescapePath(const std::string& path) {
  std::string out;
  for (size_t i = 0; i < path.size(); ++i) {
    if (path[i] == '%' && i + 2 < path.size() && std::isxdigit(static_cast<unsigned char>(path[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(path[i + 2]))) {
      out += static_cast<char>(std::stoi(path.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      out += path[i];
    }
  }
  return out;
}

}  // namespace caldav
