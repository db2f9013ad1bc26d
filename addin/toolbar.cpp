// The add-in's command bar and refresh timer, as far as start-up needs them.
#include "addin/quorvane_class.h"

namespace quorvane {

void QuorvaneClass::EnableToolbar(com::ResumeNext&) {
  // The command bar "Orbitra" comes with the host's command bars.
}

void QuorvaneClass::StartTimerAndToolbar(com::ResumeNext&) {
  // The refresh timer and the toolbar set-up come with the timer and command bars.
}

}  // namespace quorvane
