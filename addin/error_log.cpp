// The plain-text error and trace log, recreated at each connection.
#include "addin/quorvane_class.h"
#include "platform/win32/text_file.h"

namespace quorvane {

namespace {
constexpr const char* kCrLf = "\r\n";
}

std::string QuorvaneClass::LogPath() const { return strLogFolder + "QZTErrLog.txt"; }

com::Variant QuorvaneClass::fnCreateErrorLog() {
  com::ErrObject err;
  if (!err.Try([&] {
        win32::WriteTextFile(LogPath(), "QZT Started on " + NowDateText() + " at " + NowTimeText() +
                                            "    Version: " + strVersion + kCrLf);
      })) {
    MsgBox("Error: " + std::to_string(err.Number()) + kCrLf + "Desc: " + err.Description());
  }
  return {};
}

com::Variant QuorvaneClass::fnPostError(const std::string& text) {
  com::ErrObject err;
  // A failed entry is dropped after its box: the caller goes on and nothing retries.
  if (!err.Try([&] { win32::AppendTextFile(LogPath(), text + kCrLf, env_.clock); })) {
    MsgBox("Error: " + std::to_string(err.Number()) + kCrLf + "Desc: " + err.Description());
  }
  return {};
}

}  // namespace quorvane
