#include "families/serial/i2c_select.h"

#include <cstdint>

#include "app/programmer.h"
#include "app/selection.h"
#include "families/serial/serial_select.h"

namespace families::serial {
namespace {

struct I2cRow {
  int tag;
  uint32_t size;
  uint32_t page_size;
  int family;     // 39: no device-select byte, 1: one address byte, 2: two
  bool slow_ack;  // the SDE2526 needs slower acknowledge clocking
};

constexpr I2cRow kI2cRows[] = {
    {101, 128, 4, 39, false},   {201, 128, 4, 1, false},     {202, 256, 8, 1, false},
    {203, 512, 16, 1, false},   {204, 1024, 16, 1, false},   {205, 2048, 16, 1, false},
    {221, 256, 8, 1, true},     {402, 256, 8, 1, true},      {301, 4096, 32, 2, false},
    {302, 8192, 32, 2, false},  {303, 16384, 64, 2, false},  {304, 32768, 64, 2, false},
    {305, 65536, 64, 2, false}, {306, 65536, 128, 2, false},
};

}  // namespace

void M24C_Click(app::Programmer& p, const app::SelectItem& item) {
  app::StartSelection(p, item);
  app::Descriptor& d = p.dev;
  app::Controls& c = p.controls;

  SelectSerialSocket(p);
  d.slow_ack = false;
  // Pin 7 (WP) goes back to low, the normal read/write level.
  d.pin7 = 0;
  c.SetText("p24CSettings", "24Cxxx [ PIN 7 (WP) ]");
  c.Show("r24Cpin7high");
  c.Show("r24Cpin7Low");
  c.Check("r24Cpin7high", false);
  c.Check("r24Cpin7Low");
  // The 93Cxx controls share the panel.
  for (const char* name : {"lb16bitmode", "cb93ICSP", "rb93_16bit", "rb93_8bit"}) {
    c.Show(name, false);
  }

  int family = 1;
  if (const I2cRow* row = FindRow(kI2cRows, d.device_code)) {
    p.SetBufferSize(row->size);
    d.page_size = row->page_size;
    d.slow_ack = row->slow_ack;
    family = row->family;
  }
  app::FinishSelection(p, family, kSerialPattern);
}

}  // namespace families::serial
