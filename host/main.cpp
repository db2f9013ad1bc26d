// quorvane: the mail-client stand-in. Manages profiles and calendars and runs the add-in.
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "host/commands.h"
#include "host/escaped_text.h"
#include "host/usage_error.h"
#include "platform/ical/ical_refused.h"
#include "platform/com/utf8.h"
#include "platform/com/com_error.h"
#include "platform/win32/locale.h"

namespace {

const char* kHelp = R"(usage: quorvane [--profile DIR] [--answer yes|no|ok|cancel] [--locale NAME]
                [--lock-wait SECONDS] COMMAND ...

The stand-in for the mail client that hosts the Quorvane add-in.

Commands:
  demo [--dir DIR]       build the demo workgroup in DIR (default ./quorvane-demo, made anew),
                         load the add-in as each member and show what it wrote
  init --user NAME [--public FILE] [--address ADDR]
                         create a new profile in --profile DIR: a mailbox "Mailbox - NAME"
                         with a "Calendar", and the public folders in FILE (created when
                         missing, shared when it exists); NAME joins the public folders'
                         "Global Address List" with ADDR (default NAME@workgroup)
  init --user NAME --public-url URL [--public-user NAME] [--public-password-file FILE]
                         the same with the public folders on a CalDAV server: every calendar
                         under URL (a calendar home, or one calendar) is a folder of "All
                         Public Folders"; the profile keeps a replica of them and works from
                         it. The password is read from FILE (its first line) when needed and
                         never stored elsewhere
  public-folders --url URL [--user NAME] [--password-file FILE]
  public-folders --file FILE
                         move the profile's public folders to a CalDAV server, or to a store
                         file; nothing changes when they cannot be opened there
  address add LIST --name NAME [--address ADDR] [--type TYPE] [--display-type 0-6]
                         add an entry to "Global Address List" (the public folders', shared
                         by the workgroup) or "Contacts" (the mailbox's), or replace the one
                         of that name; TYPE is "SMTP" unless given, display type 0 is a
                         user, 1 a distribution list
  address list [LIST] [--json]
                         the address lists and their entries, in order of name
  address delete LIST NAME
  folder add PATH        add a folder; PATH names folders from the top down, joined by "|";
                         on a CalDAV server, a calendar added to "All Public Folders" is made
                         there too (MKCALENDAR)
  folder list            every folder of the profile, with its appointment count
  folder properties PATH [--do ACTION]...
                         the folder's Properties dialog; the add-in adds its page to that
                         of a folder named "Orbitra"
  appt add PATH --subject S --start "YYYY-MM-DD HH:MM" --end "YYYY-MM-DD HH:MM"
           [--body B] [--location L] [--categories C] [--sensitivity 0-3]
           [--recur daily|weekly|monthly|monthnth|yearly|yearnth [--interval N]
            [--until YYYY-MM-DD | --count N] [--days MO,TU,...] [--instance 1-5 (5: last)]
            [--day-of-month N] [--month N]]
                         add an appointment; prints its entry ID
  appt add PATH --subject S --all-day --start YYYY-MM-DD [--end YYYY-MM-DD] [...]
                         an all-day appointment from the start day to the end day, both
                         whole (one day without --end); times are refused with --all-day
  appt list PATH [--json]
                         the folder's appointments in order of start; --json gives every
                         field, the entry ID, the modification time and the user properties
  appt edit ENTRYID [the options of add]
                         --all-day alone makes the appointment's days whole; an all-day
                         appointment given dates stays all-day, given times becomes timed
  appt delete ENTRYID
  set-calendar global|local PATH
                         choose a calendar, as the folder browser's OK does: the add-in
                         resolves the path, records the folder and prepares it. A path that
                         names no folder, or the folder of the other calendar, is refused
                         and nothing is written
  settings [NAME=VALUE ...]
                         show every setting of the add-in (a default not yet stored is
                         marked so), or change them as the options page's Apply does
                         (RefreshRate=5, UpdBoth=1, GlobalOwner=0, ...)
  sync global|local|deletions
                         load the add-in, open both calendars and run that pass once;
                         prints what was copied, replaced, deleted and left per calendar.
                         The deletion pass asks "Confirm Deletion" on the terminal, or takes
                         --answer yes|no
  sync delete --folder PATH --select ENTRYID...
                         the toolbar's Sync Delete: delete the selected appointments of the
                         folder shown, with their counterparts in the other calendar
  run [--minutes N] [--minute-ms MS]
                         start the mail client with the add-in: its timer synchronises until
                         quit, end of input, Ctrl-C or N minutes (1 to 527040); MS (1 to
                         60000) makes a timer minute last MS milliseconds. Lines on standard
                         input, a terminal or not, are typed commands (click CAPTION,
                         folder PATH, quit) or, while a message box asks, its answer,
                         or while a form is open, actions on it (see --do)
  gui [--screenshots DIR]
                         the mail client as a window (Qt), with the add-in running inside it
                         until the window closes; --screenshots DIR renders the window and
                         its dialogs to PNG files in DIR and closes
  click CAPTION [--folder PATH] [--select ENTRYID...] [--do ACTION]...
                         start, click a toolbar button (e.g. "Sync From &Global Calendar")
                         with that folder shown and those appointments selected, and close
  appointment-options [--do ACTION]...
                         the appointment options command, which has no toolbar button: its
                         dialog, whose "Find User" buttons open the Find Address dialog
  print [--printer NAME] [--calendar NAME] [--days 30|60|90] [--from YYYY-MM-DD]
        [--to YYYY-MM-DD] [--copies N] [--output FILE.pdf]
                         fill the Print Calendar dialog and press OK: one landscape page
                         of up to 91 days on a printer, or by default on "Quorvane PDF"
                         (a file in the profile's Printed folder unless --output names one);
                         prints where the page went
  options [--do ACTION]...
                         the Options dialog with the add-in's page; its buttons are OK,
                         Cancel and Apply, the page's controls are named as on the page
  import PATH FILE.ics [--flatten-unsupported]
                         bring an iCalendar file into a folder (all or nothing); events
                         with the same UID are updated; --flatten-unsupported imports a
                         series the pattern cannot hold as its first occurrence
  export PATH FILE.ics   write a folder's appointments as an iCalendar file, replacing it
                         whole: a regular file, or the one a symbolic link leads to
  connect                load the add-in on the profile, connect and disconnect it, and
                         print the error log it wrote
  registry               print the profile's registry file

What is synchronised: the passes take the appointments that end after yesterday and
before today plus NoOfDays days (settings NoOfDays=N, 30 unless changed), and every
recurring appointment; others stay where they are. A synchronised copy deleted from the
Local Calendar in any other way than 'sync delete' (with 'appt delete', say) comes back:
the next global pass copies it again from the Global Calendar. 'sync delete' deletes the
selected appointments in both calendars.

When the public folders cannot be opened (missing or damaged), the member's own mailbox
still works; the passes then stop at their offline check and change nothing.

Options (before the command or anywhere after it):
  --profile DIR          the member's profile folder (default: $QUORVANE_PROFILE)
  --answer WORD          answer every message box with WORD when no person is asked
  --locale NAME          regional settings: en-US (default), en-GB, de-DE, ISO
  --do ACTION            an action on the form shown, in order (also after options and
                         folder properties): click NAME, set NAME TEXT, select NAME ITEM
                         (a tree node by its path of texts joined by "|", a list's row by
                         its text), show, help.
                         Actions go to the topmost form; a form left without actions is
                         closed as its close box would. An action naming what the form
                         does not have lists its controls and ends with status 2
  --lock-wait SECONDS    how long to wait for a profile another quorvane is changing
                         (default: $QUORVANE_LOCK_WAIT_SECONDS, else 30); then exit 1
  -h, --help             this text

One quorvane at a time runs the add-in on a profile or changes it; another that would waits,
saying which process has the profile. Commands that only read (folder list, appt list,
export, registry, settings without changes) never wait.

Message boxes are asked on the terminal when one is attached (by run, on its standard input),
and otherwise printed as "[Title] text" with the answer given; --answer answers them all.
Forms (dialogs) are shown with their controls and take typed actions on a terminal; without
one, --do actions drive them, or else --answer presses their OK or Cancel button.
Bad input gets one line on stderr and exit status 2; every word must be UTF-8. Text is
printed with control characters escaped (\n, \t, \x07), and --json is always valid JSON.
)";

const int kMaxWait = 24 * 3600;

// Every word becomes text that is stored, shared with the other members or printed: it must be
// UTF-8. The error names the option whose value it is.
void RequireUtf8(const std::vector<std::string>& args) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string fault = com::Utf8Fault(args[i]);
    if (fault.empty()) continue;
    const bool value = i > 0 && args[i - 1].rfind("-", 0) == 0 && args[i].rfind("-", 0) != 0;
    throw host::UsageError((value ? "the value of " + args[i - 1] : "argument " + std::to_string(i + 1)) +
                           " is not valid UTF-8 (" + fault + ")");
  }
}

enum class Taken { No, Yes, Help };

// The options of the program itself, which stand before the command or anywhere after it.
Taken TakeGlobalOption(const std::vector<std::string>& args, size_t& i, host::GlobalOptions& global) {
  const std::string& a = args[i];
  auto value = [&]() -> std::string {
    if (i + 1 >= args.size()) throw host::UsageError(a + " needs a value");
    return args[++i];
  };
  if (a == "-h" || a == "--help") {
    return Taken::Help;
  } else if (a == "--profile") {
    global.profileDir = value();
  } else if (a == "--answer") {
    const std::string w = value();
    global.session.answer = host::ParseAnswer(w);
    if (!global.session.answer) throw host::UsageError("--answer takes yes, no, ok or cancel, not '" + w + "'");
    global.session.interactive = false;
  } else if (a == "--do") {
    if (i + 1 >= args.size()) throw host::UsageError("--do needs an action (click NAME, set NAME TEXT, select NAME ITEM)");
    global.session.actions->given = true;
    global.session.actions->pending.push_back(value());
  } else if (a == "--lock-wait") {
    global.session.lockWaitSeconds = static_cast<int>(host::WholeNumber("--lock-wait", value(), 0, kMaxWait));
  } else if (a == "--locale") {
    const std::string name = value();
    if (!win32::Locale::SetCurrent(name)) throw host::UsageError("unknown locale '" + name + "'");
  } else {
    return Taken::No;
  }
  return Taken::Yes;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  host::GlobalOptions global;
  if (const char* env = std::getenv("QUORVANE_PROFILE")) global.profileDir = env;
  global.session.interactive = ::isatty(0) && ::isatty(1);
  global.session.actions = std::make_shared<host::FormActions>();
  try {
    RequireUtf8(args);
    if (!com::Utf8Fault(global.profileDir).empty()) throw host::UsageError("QUORVANE_PROFILE is not valid UTF-8");
    if (const char* env = std::getenv("QUORVANE_LOCK_WAIT_SECONDS")) {
      global.session.lockWaitSeconds = static_cast<int>(host::WholeNumber("QUORVANE_LOCK_WAIT_SECONDS", env, 0, kMaxWait));
    }
    size_t i = 0;
    for (; i < args.size() && args[i].rfind("-", 0) == 0; ++i) {
      const Taken taken = TakeGlobalOption(args, i, global);
      if (taken == Taken::No) throw host::UsageError("unknown option " + args[i]);
      if (taken == Taken::Help) {
        std::cout << kHelp;
        return 0;
      }
    }
    if (i >= args.size()) {
      std::cerr << kHelp;
      return 2;
    }
    const std::string command = args[i];
    std::vector<std::string> rest;
    for (++i; i < args.size(); ++i) {
      const Taken taken = TakeGlobalOption(args, i, global);
      if (taken == Taken::Help) {
        std::cout << kHelp;
        return 0;
      }
      if (taken == Taken::No) rest.push_back(args[i]);
    }
    global.session.holder = command;
    for (const auto& word : rest) global.session.holder += " " + word;
    const int status = host::RunCommand(command, rest, global);
    const host::FormActions& actions = *global.session.actions;
    if (actions.failed) return 2;
    if (!actions.pending.empty()) {
      std::cerr << "quorvane: no form took the action '" << actions.pending.front() << "'";
      if (actions.pending.size() > 1) std::cerr << " nor the " << actions.pending.size() - 1 << " after it";
      std::cerr << "\n";
      return 2;
    }
    return status;
  } catch (const host::UsageError& e) {
    std::cerr << "quorvane: " << host::PrintableText(e.what()) << "\n";
    return 2;
  } catch (const ical::Refused& e) {
    std::cerr << "quorvane: " << host::PrintableText(e.what()) << "\n";
    return 2;
  } catch (const com::ComError& e) {
    std::cerr << "quorvane: " << host::PrintableText(e.description()) << "\n";
    return 1;
  } catch (const std::exception& e) {
    std::cerr << "quorvane: " << host::PrintableText(e.what()) << "\n";
    return 1;
  }
}
