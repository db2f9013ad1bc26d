// The property test's driver: random work on three members' calendars and the Global Calendar,
// interleaved with passes; once the passes have settled, every calendar agrees and nothing is
// lost or doubled. Any public folders will do (see Workgroup).
#include "tests/support/sync_property.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

namespace testing_support {

namespace {

struct Fields {
  std::string subject, body, location;
  int64_t start = 0, end = 0;
  bool operator==(const Fields&) const = default;
};

// Subject -> fields of every appointment in a calendar; a subject seen twice is recorded.
struct CalendarView {
  std::map<std::string, Fields> bySubject;
  std::vector<std::string> doubled;
};

CalendarView View(const com::Ref<outlook::MAPIFolder>& folder) {
  CalendarView v;
  auto items = folder->Items();
  for (auto item = items->GetFirst(); item; item = items->GetNext()) {
    Fields f{item->Subject(), item->Body(), item->Location(), item->Start().UnixMillis(), item->End().UnixMillis()};
    if (!v.bySubject.emplace(f.subject, f).second) v.doubled.push_back(f.subject);
  }
  return v;
}

}  // namespace

void CheckCalendarsAgreeOnceThePassesSettle(Workgroup& group, unsigned seed, int steps) {
  std::vector<Member*> members = {&group.Join("Ann", true), &group.Join("Bob"), &group.Join("Cy")};
  std::mt19937 rng(seed);
  auto pick = [&](size_t n) { return static_cast<size_t>(std::uniform_int_distribution<size_t>(0, n - 1)(rng)); };
  auto anyOf = [&](const com::Ref<outlook::MAPIFolder>& folder) -> com::Ref<outlook::AppointmentItem> {
    const int n = folder->Items()->Count();
    if (n == 0) return nullptr;
    auto items = folder->Items();
    auto item = items->GetFirst();
    for (size_t i = pick(static_cast<size_t>(n)); i > 0 && item; --i) item = items->GetNext();
    return item;
  };

  std::set<std::string> deleted;      // gone for good: deleted globally or marked "[DEL]"
  std::set<std::string> maybeGone;    // deleted in one local calendar only: may come back
  // "[DEL]" typed into a local copy acts at its member's next pass, unless the copy is edited
  // or deleted before that.
  std::set<std::pair<std::string, std::string>> marked;
  auto touchLocal = [&](const Member& m, const std::string& subject) {
    if (marked.erase({m.name, subject})) maybeGone.insert(subject);
  };
  std::vector<std::string> journal;   // the sequence, for the failure message
  int created = 0;
  for (int step = 0; step < steps; ++step) {
    group.clock.Advance(60000);
    Member& m = *members[pick(members.size())];
    const std::string who = m.name + ": ";
    switch (pick(7)) {
      case 0:
      case 1: {
        const std::string subject = "A" + std::to_string(++created);
        const com::Date start = group.At(3, 10 + static_cast<int>(pick(20)), 8 + static_cast<int>(pick(8)));
        m.Add(subject, start, com::Date::FromUnixMillis(start.UnixMillis() + 3600000));
        journal.push_back(who + "add " + subject);
        break;
      }
      case 2: {
        auto item = anyOf(m.local);
        if (item.IsNothing()) break;
        touchLocal(m, item->Subject());
        item->SetLocation("L" + std::to_string(step));
        item->SetBody("edited by " + m.name + " at " + std::to_string(step));
        item->Save();
        journal.push_back(who + "edit local " + item->Subject());
        break;
      }
      case 3: {
        auto item = anyOf(m.global);
        if (item.IsNothing()) break;
        item->SetLocation("G" + std::to_string(step));
        item->Save();
        journal.push_back(who + "edit global " + item->Subject());
        break;
      }
      case 4: {
        auto item = pick(2) ? anyOf(m.global) : anyOf(m.local);
        if (item.IsNothing()) break;
        const bool isGlobal = item->Parent()->EntryID() == m.global->EntryID();
        const std::string subject = item->Subject();
        if (isGlobal) {
          item->Delete();
          deleted.insert(subject);
          journal.push_back(who + "delete global " + subject);
        } else if (pick(2)) {
          item->SetBody("[DEL]");
          item->Save();
          marked.insert({m.name, subject});
          journal.push_back(who + "mark [DEL] " + subject);
        } else {
          touchLocal(m, subject);
          item->Delete();
          maybeGone.insert(subject);
          journal.push_back(who + "delete local " + subject);
        }
        break;
      }
      default:
        m.SyncBoth();
        for (auto it = marked.begin(); it != marked.end();) {
          if (it->first == m.name) {
            deleted.insert(it->second);
            it = marked.erase(it);
          } else {
            ++it;
          }
        }
        journal.push_back(who + "sync");
    }
  }

  for (const auto& [name, subject] : marked) deleted.insert(subject);  // the settling passes act on them
  // Settle: every member runs until nothing changes any more.
  std::string before, after = "x";
  for (int round = 0; round < 8 && before != after; ++round) {
    before = after;
    after.clear();
    for (Member* m : members) {
      group.clock.Advance(60000);
      m->SyncBoth();
    }
    for (Member* m : members) {
      for (const auto& [s, f] : View(m->local).bySubject) after += s + f.body + f.location + ";";
    }
    for (const auto& [s, f] : View(members[0]->global).bySubject) after += s + f.body + f.location + ";";
  }
  std::string sequence;
  for (const auto& line : journal) sequence += "\n  " + line;
  ASSERT_EQ(before, after) << "the passes never settle:" << sequence;

  const CalendarView global = View(members[0]->global);
  EXPECT_TRUE(global.doubled.empty()) << "twice in the Global Calendar: " << global.doubled.front() << sequence;
  for (Member* m : members) {
    const CalendarView local = View(m->local);
    EXPECT_TRUE(local.doubled.empty()) << m->name << " has one twice" << sequence;
    for (const auto& [subject, fields] : global.bySubject) {
      auto it = local.bySubject.find(subject);
      ASSERT_NE(it, local.bySubject.end()) << m->name << " lacks " << subject << sequence;
      EXPECT_EQ(fields, it->second) << m->name << " disagrees on " << subject << sequence;
    }
    for (const auto& [subject, fields] : local.bySubject) {
      EXPECT_TRUE(global.bySubject.count(subject)) << subject << " only in " << m->name << "'s calendar" << sequence;
    }
  }
  for (int i = 1; i <= created; ++i) {
    const std::string subject = "A" + std::to_string(i);
    if (deleted.count(subject) || maybeGone.count(subject)) continue;
    EXPECT_TRUE(global.bySubject.count(subject)) << subject << " was lost" << sequence;
  }
  for (const auto& subject : deleted) {
    EXPECT_FALSE(global.bySubject.count(subject)) << subject << " came back after its deletion" << sequence;
  }
}

}  // namespace testing_support
