#include "core/ComPortList.h"

#include <cstdio>

namespace quillon {

void FillComPortList(ComboModel& comPortList) {
  comPortList.Clear();
  for (int n = 0; n < kComPortCount; ++n) {
    char name[8] = "";
    if (n > 0) std::snprintf(name, sizeof name, n < 10 ? "COM0%d" : "COM%d", n);
    comPortList.AddString(name);
  }
  comPortList.SetCurSel(kInitialComPort);
}

}  // namespace quillon
