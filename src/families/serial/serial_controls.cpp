#include "families/serial/serial_controls.h"

#include "app/programmer.h"

namespace families::serial {
namespace {

void SetPin7(app::Programmer& p, bool high) {
  p.dev.pin7 = high ? 1 : 0;
  p.controls.Check("r24Cpin7high", high);
  p.controls.Check("r24Cpin7Low", !high);
  p.host.ControlsChanged();
}

}  // namespace

void r24Cpin7highClick(app::Programmer& p) { SetPin7(p, true); }
void r24Cpin7LowClick(app::Programmer& p) { SetPin7(p, false); }

void cb93ICSP_Click(app::Programmer& p) { p.dev.microwire_icsp = p.controls.Checked("cb93ICSP"); }

}  // namespace families::serial
