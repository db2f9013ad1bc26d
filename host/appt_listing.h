#pragma once
// Appointments printed for a person (one line each) or for a program (JSON).
#include <iosfwd>

#include "platform/outlook/appointment_item.h"

namespace host {

void PrintApptLine(std::ostream& out, outlook::AppointmentItem& item);
void PrintApptJson(std::ostream& out, outlook::AppointmentItem& item);  // one JSON object

}  // namespace host
