// The refresh timer's tick: every RefreshRate + 1 minutes, the passes the direction allows.
#include "addin/quorvane_class.h"

namespace quorvane {

// One tick a minute: RefreshRate counts minutes.
void QuorvaneClass::StartTimer(com::ResumeNext& run) {
  run([&] { tcTimer->SetInterval(60000); });
  run([&] { tcTimer->SetEnable(true); });
}

void QuorvaneClass::tcTimer_TimerCB() {
  com::ResumeNext run(Err, [this](const com::ErrObject& e) { PostErrorReport("tcTimer_TimerCB()", e); });
  if (RefreshRate > 0) {
    ++lTickCount;
    if (lTickCount >= RefreshRate + 1) {
      if (!bTimerBusy) {
        bTimerBusy = true;
        // Each pass starts only while the host is not closing.
        auto pass = [&](void (QuorvaneClass::*fn)()) {
          if (!bShuttingDown) run([&] { (this->*fn)(); });
        };
        switch (iSyncDirection) {
          case 1:
            pass(&QuorvaneClass::oCheckLocVsGlbDels);
            pass(&QuorvaneClass::oProcessLocalFolders);
            pass(&QuorvaneClass::oProcessGlobalFolders);
            break;
          case 2:
            pass(&QuorvaneClass::oCheckLocVsGlbDels);
            pass(&QuorvaneClass::oProcessGlobalFolders);
            break;
          case 3:
            pass(&QuorvaneClass::oProcessLocalFolders);
            break;
          default:
            break;
        }
        bTimerBusy = false;
      }
      lTickCount = 0;
    }
  }
  if (bShuttingDown) run([&] { tcTimer->SetEnable(false); });
}

}  // namespace quorvane
