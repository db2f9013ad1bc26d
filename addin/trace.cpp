// The shapes of the lines the add-in writes to its log.
#include "addin/quorvane_class.h"

namespace quorvane {

void QuorvaneClass::TraceValue(const std::string& prefix, const com::Variant& value) {
  if (PromptErrors != 0) fnPostError(prefix + value.ToString() + "]");
}

void QuorvaneClass::PostErrorReport(const std::string& operation, const com::ErrObject& error) {
  if (!error.Pending()) return;
  fnPostError("An Error was encountered in " + operation + "!\r\nError No: (" + std::to_string(error.Number()) +
              ")\r\nError Desc: " + error.Description() + "\r\n");
}

void QuorvaneClass::PostSubjectAndStart(const Appt& item) {
  // Either read may fail too; what can be read is written.
  com::ErrObject local;
  std::string subject, start;
  local.Try([&] { subject = item->Subject(); });
  local.Try([&] { start = com::Variant(item->Start()).ToString(); });
  fnPostError(subject);
  fnPostError(start);
}

void QuorvaneClass::ReportItemError(const std::string& subject, const Appt& item) {
  const com::ErrObject pending = Err;
  Err.Clear();
  fnPostError("An Error was encountered \r\nError No: (" + std::to_string(pending.Number()) +
              ")\r\nError Desc: " + pending.Description());
  std::string start;
  com::ErrObject local;
  local.Try([&] { start = com::Variant(item->Start()).ToString(); });
  fnPostError("Subject of Appointment with Error is \r\n[" + subject + "]\r\nStart Date = [" + start + "]");
  ++iErrorCount;
}

}  // namespace quorvane
