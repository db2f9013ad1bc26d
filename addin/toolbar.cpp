// The add-in's command bar and the start of its refresh timer, as far as start-up needs them.
#include "addin/quorvane_class.h"

namespace quorvane {

void QuorvaneClass::EnableToolbar(com::ResumeNext&) {
  // The command bar "Orbitra" comes with the host's command bars.
}

void QuorvaneClass::StartTimerAndToolbar(com::ResumeNext& run) {
  run([&] { tcTimer->SetInterval(60000); });
  run([&] { tcTimer->SetEnable(true); });
  // The toolbar set-up comes with the host's command bars.
}

}  // namespace quorvane
