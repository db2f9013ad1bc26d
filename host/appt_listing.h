#pragma once
// Appointments printed for a person (one line each) or for a program (JSON).
#include <iosfwd>
#include <vector>

#include "platform/outlook/appointment_item.h"

namespace host {

void PrintApptLine(std::ostream& out, outlook::AppointmentItem& item);
void PrintApptJson(std::ostream& out, const std::vector<com::Ref<outlook::AppointmentItem>>& items);

}  // namespace host
