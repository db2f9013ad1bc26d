#pragma once
// The host's appointment window: subject, location, start, end, all day, categories, private,
// a simple recurrence and the body of a new or an existing appointment. A form like any other,
// so every front end draws it; Save checks the fields as 'appt add' and 'appt edit' do.
#include <string>

#include "host/session.h"
#include "platform/forms/form.h"

namespace host {

class ApptEditorForm : public forms::Form {
 public:
  // item: the appointment to edit; nothing: a new one, saved into folder.
  ApptEditorForm(Session& session, com::Ref<outlook::MAPIFolder> folder, com::Ref<outlook::AppointmentItem> item,
                 com::Date start);
  bool saved() const { return saved_; }
  const std::string& entryId() const { return entryId_; }

 protected:
  void OnLoad() override;

 private:
  void Save();
  // The fields as the words of 'appt add'.
  std::vector<std::string> Words();

  Session& session_;
  com::Ref<outlook::MAPIFolder> folder_;
  com::Ref<outlook::AppointmentItem> item_;
  com::Date start_;
  bool saved_ = false;
  std::string entryId_;
};

}  // namespace host
