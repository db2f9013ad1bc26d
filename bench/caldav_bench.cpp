// Times the CalDAV store against a running server, as bench/caldav_compare.sh drives it:
//   caldav_bench download URL REPLICA      a member's first run on a collection another client
//                                          filled (REPLICA must not exist), then a second run
//                                          with nothing to do (the store opened again)
//   caldav_bench upload URL REPLICA N      N appointments arrive in the collection, one by one
//                                          as the passes copy them
// URL names one calendar collection. Prints "<what> <seconds> <items>" lines.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "bench/timing.h"
#include "platform/caldav/caldav_store.h"
#include "platform/outlook/outlook_enums.h"

namespace {

double Seconds(const std::function<void()>& f) { return bench::Seconds(f, true); }

int64_t CalendarOf(mapistore::Store& store) {
  const int64_t all = store.SubFolders(store.Root().id).at(0).id;
  return store.SubFolders(all).at(0).id;
}

int Count(mapistore::Store& store) {
  mapistore::ItemQuery q;
  q.folderId = CalendarOf(store);
  return store.CountItems(q);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: caldav_bench download URL REPLICA | upload URL REPLICA N\n");
    return 2;
  }
  const std::string what = argv[1];
  const caldav::Account account{argv[2], "bench", "bench"};
  win32::SystemClock clock;
  const mapistore::DbServices services{clock};
  if (what == "download") {
    int n = 0;
    const double first = Seconds([&] { n = Count(*caldav::CalDavStore::Open(account, argv[3], services)); });
    std::printf("first %.3f %d\n", first, n);
    const double again = Seconds([&] { n = Count(*caldav::CalDavStore::Open(account, argv[3], services)); });
    std::printf("again %.3f %d\n", again, n);
    return 0;
  }
  if (what == "upload" && argc == 5) {
    const int n = std::atoi(argv[4]);
    auto store = caldav::CalDavStore::Open(account, argv[3], services);
    const int64_t folder = CalendarOf(*store);
    const com::Date today = clock.Now().DateOnly();
    const double t = Seconds([&] {
      mapistore::ItemRecord r;
      for (int i = 0; i < n; ++i) {
        const com::Date start = com::Date::FromUnixMillis(today.UnixMillis() + (i % 25) * 86400000LL +
                                                          9 * 3600000LL + (i % 480) * 60000LL);
        r.fields.Set(outlook::ApptField::Subject, com::Variant("Benchmark appointment " + std::to_string(i)));
        r.fields.Set(outlook::ApptField::Start, com::Variant(start));
        r.fields.Set(outlook::ApptField::End, com::Variant(com::Date::FromUnixMillis(start.UnixMillis() + 1800000)));
        r.fields.Set(outlook::ApptField::Body, com::Variant("Benchmark appointment " + std::to_string(i)));
        r.fields.Set(outlook::ApptField::Location, com::Variant("Room " + std::to_string(i % 40)));
        r.modifiedMs = r.createdMs = clock.Now().UnixMillis();
        store->ImportItem(r, folder);
      }
    });
    std::printf("upload %.3f %d\n", t, Count(*store));
    return 0;
  }
  std::fprintf(stderr, "usage: caldav_bench download URL REPLICA | upload URL REPLICA N\n");
  return 2;
}
