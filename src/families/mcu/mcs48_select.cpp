// Selection of the MCS-48/41 parts on the DIP32-to-MCS-48 adapter: EPROM
// and OTP parts (family 28) can be programmed, ROM parts (family 29) only
// read and verified.
#include <cstdint>

#include "app/programmer.h"
#include "app/selection.h"
#include "families/mcu/mcu_select.h"

namespace families::mcu {
namespace {

struct Mcs48Row {
  int code;
  uint32_t size;
};

// clang-format off
constexpr Mcs48Row kMcs48[] = {
    {101, 1024},  // 8748H, 8741H
    {102, 2048},  // 8749H, 8742H
    {201, 1024},  // 8048AH, 8041AH
    {202, 2048},  // 8049AH, 8042AH
    {203, 4096},  // 8050AH
};
// clang-format on

// The chip's timing is made by busy-waiting for tens of milliseconds per
// byte; anything else running on the machine stretches those waits.
constexpr char kQuietMachine[] =
    " Close program (or End task) CPU coolling, Antivirus, H/W monitor ....\n Before "
    "read/write/verify MCS-48/41";

}  // namespace

void D8748_Click(app::Programmer& p, const app::SelectItem& item) {
  app::StartSelection(p, item);
  app::Descriptor& d = p.dev;
  for (const Mcs48Row& row : kMcs48) {
    if (row.code == d.device_code) p.SetBufferSize(row.size);
  }
  const int family = d.device_code < 200 ? 28 : 29;
  if (d.device_code != 0) {
    d.socket_picture = 8749;
    p.controls.SetText("lbAdapter", "  MCS-48  ");
    p.host.Information(kQuietMachine);
    // The high address nibble goes out through port 2, never above bit 8.
    d.address_bits = 8;
    d.fixed_address_bits = true;
    d.twc = 20000;
    d.twp = 55000;
    d.add_step = 50;
  }
  app::FinishSelection(p, family, 31);
}

}  // namespace families::mcu
