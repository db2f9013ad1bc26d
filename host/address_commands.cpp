// 'address': the entries of the address lists, the workgroup's in the public folders and the
// member's own contacts in the mailbox.
#include <iostream>
#include <stdexcept>

#include "host/commands.h"
#include "host/escaped_text.h"
#include "host/usage_error.h"
#include "platform/com/text.h"
#include "platform/mapistore/mapi_address_lists.h"
#include "platform/outlook/application.h"

namespace host {
namespace {

const char* kUsage =
    "address add LIST --name NAME [--address ADDR] [--type TYPE] [--display-type 0-6], "
    "address list [LIST] [--json] or address delete LIST NAME";

// The list's name as the namespace spells it; UsageError for a list no store keeps.
std::string ListName(const std::string& word) {
  for (const char* known : {mapistore::kGlobalAddressList, mapistore::kContactsList}) {
    if (com::EqualsNoCase(word, known)) return known;
  }
  throw UsageError("no address list '" + word + "': the lists are \"" + mapistore::kGlobalAddressList + "\" and \"" +
                   mapistore::kContactsList + "\"");
}

// The store that keeps the list: the workgroup's list lives in the public folders.
mapistore::Store& StoreOf(Session& session, const std::string& list) {
  const bool shared = list == mapistore::kGlobalAddressList;
  const std::string path = shared ? session.profile().publicStore() : session.profile().mailboxStore();
  for (const auto& store : session.ns().stores()) {
    if (store->Path() == path) return *store;
  }
  throw std::runtime_error("the " + list + " cannot be changed: " + session.storeProblem());
}

int AddEntry(const Words& args, const GlobalOptions& global) {
  if (args.size() < 2) throw UsageError(kUsage);
  mapistore::AddressRecord entry;
  entry.list = ListName(args[1]);
  bool named = false;
  for (size_t i = 2; i < args.size(); ++i) {
    const bool value = i + 1 < args.size();
    if (args[i] == "--name" && value) {
      entry.name = args[++i];
      named = true;
    } else if (args[i] == "--address" && value) {
      entry.address = args[++i];
    } else if (args[i] == "--type" && value) {
      entry.type = args[++i];
    } else if (args[i] == "--display-type" && value) {
      entry.displayType = static_cast<int>(WholeNumber("--display-type", args[++i], 0, 6));
    } else {
      throw UsageError(kUsage);
    }
  }
  if (!named || com::Trim(entry.name).empty()) throw UsageError("address add needs --name NAME, not blank");
  Session session(RequireProfile(global), global.session, Access::Write);
  StoreOf(session, entry.list).AddAddress(entry);
  session.ns().Settle();
  std::cout << "Added " << PrintableText(entry.name) << " to " << entry.list << "\n";
  return 0;
}

int DeleteEntry(const Words& args, const GlobalOptions& global) {
  if (args.size() != 3) throw UsageError(kUsage);
  const std::string list = ListName(args[1]);
  Session session(RequireProfile(global), global.session, Access::Write);
  if (!StoreOf(session, list).DeleteAddress(list, args[2])) {
    throw std::runtime_error("the " + list + " has no entry '" + PrintableText(args[2]) + "'");
  }
  session.ns().Settle();
  std::cout << "Deleted " << PrintableText(args[2]) << " from " << list << "\n";
  return 0;
}

void PrintList(outlook::AddressList& list, bool json, bool first) {
  auto entries = list.AddressEntries();
  if (json) {
    std::cout << (first ? "" : ",") << "\n  {\"list\": " << JsonString(list.Name()) << ", \"index\": " << list.Index()
              << ", \"entries\": [";
  } else {
    std::cout << PrintableText(list.Name()) << " (" << entries->Count() << ")\n";
  }
  for (int i = 1; i <= entries->Count(); ++i) {
    auto e = entries->Item(i);
    if (json) {
      std::cout << (i == 1 ? "" : ",") << "\n    {\"name\": " << JsonString(e->Name())
                << ", \"address\": " << JsonString(e->Address()) << ", \"type\": " << JsonString(e->Type())
                << ", \"displayType\": " << e->DisplayType() << "}";
    } else {
      std::cout << "  " << PrintableText(e->Name()) << " <" << PrintableText(e->Address()) << "> "
                << PrintableText(e->Type()) << (e->DisplayType() == 0 ? "" : ", display type " +
                                                                                 std::to_string(e->DisplayType()))
                << "\n";
    }
  }
  if (json) std::cout << (entries->Count() ? "\n  ]}" : "]}");
}

int ListEntries(const Words& args, const GlobalOptions& global) {
  bool json = false;
  std::string only;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--json") json = true;
    else if (only.empty()) only = ListName(args[i]);
    else throw UsageError(kUsage);
  }
  Session session(RequireProfile(global), global.session, Access::Read);
  auto lists = session.ns().AddressLists();
  if (json) std::cout << "[";
  bool first = true;
  for (int i = 1; i <= lists->Count(); ++i) {
    auto list = lists->Item(i);
    if (!only.empty() && list->Name() != only) continue;
    PrintList(*list, json, first);
    first = false;
  }
  if (json) std::cout << (first ? "]\n" : "\n]\n");
  return 0;
}

}  // namespace

int CmdAddress(const Words& args, const GlobalOptions& global) {
  const std::string verb = args.empty() ? "" : args[0];
  if (verb == "add") return AddEntry(args, global);
  if (verb == "list") return ListEntries(args, global);
  if (verb == "delete") return DeleteEntry(args, global);
  throw UsageError(kUsage);
}

}  // namespace host
