#include "families/serial/spi_select.h"

#include <cstdint>
#include <string>

#include "app/programmer.h"
#include "app/selection.h"
#include "families/serial/serial_select.h"
#include "families/serial/spi_devices.h"

namespace families::serial {
namespace {

using app::Controls;
using app::Descriptor;

constexpr uint32_t KB = 1024;
constexpr uint32_t MB = 1024 * 1024;

// ---------------------------------------------------------------------------
// SPI EEPROM: byte writes up to 512 bytes (A8 in the command byte), page
// writes above; Tags from 400 send three address bytes.

struct EepromRow {
  int tag;
  uint32_t size;
  uint32_t page_size;  // 0: byte writes
};

constexpr EepromRow kEepromRows[] = {
    {101, 128, 0},    {102, 256, 0},     {103, 512, 0},     {201, 1024, 32},
    {202, 2048, 32},  {203, 4096, 32},   {204, 8192, 32},   {205, 16384, 64},
    {206, 32768, 64}, {301, 32768, 128}, {302, 65536, 128}, {401, 131072, 128},
};

// ---------------------------------------------------------------------------
// SPI flash: identification and erase opcodes and the write method per part.

enum class Write { kPage, kAai1, kAai2, k45 };

struct FlashRow {
  int tag;
  uint32_t size;
  uint8_t id_read;
  uint8_t chip_erase;
  Write write;
  uint32_t page_size;  // page rows and 45-series rows
};

constexpr FlashRow kFlashRows[] = {
    {101, 64 * KB, 0xAB, 0xC7, Write::kPage, 256},  {102, 128 * KB, 0xAB, 0xC7, Write::kPage, 256},
    {103, 256 * KB, 0xAB, 0xC7, Write::kPage, 256}, {104, 512 * KB, 0xAB, 0xC7, Write::kPage, 256},
    {105, 1 * MB, 0xAB, 0xC7, Write::kPage, 256},   {106, 2 * MB, 0xAB, 0xC7, Write::kPage, 256},
    {107, 4 * MB, 0xAB, 0xC7, Write::kPage, 256},   {201, 64 * KB, 0x90, 0x60, Write::kAai1, 256},
    {202, 128 * KB, 0x90, 0x60, Write::kAai1, 256}, {203, 256 * KB, 0x90, 0x60, Write::kAai1, 256},
    {204, 512 * KB, 0x9F, 0x60, Write::kAai1, 256}, {205, 1 * MB, 0x9F, 0x60, Write::kAai2, 256},
    {206, 2 * MB, 0x9F, 0x60, Write::kAai2, 256},   {207, 4 * MB, 0x9F, 0x60, Write::kAai2, 256},
    {220, 1 * MB, 0x90, 0x60, Write::kAai1, 256},   {224, 512 * KB, 0x9F, 0x60, Write::kAai1, 256},
    {302, 128 * KB, 0xAB, 0xC7, Write::kPage, 256}, {401, 64 * KB, 0x9F, 0xC7, Write::kPage, 256},
    {402, 128 * KB, 0x9F, 0xC7, Write::kPage, 256}, {403, 256 * KB, 0x9F, 0xC7, Write::kPage, 256},
    {404, 512 * KB, 0x9F, 0xC7, Write::kPage, 256}, {405, 1 * MB, 0x9F, 0xC7, Write::kPage, 256},
    {406, 2 * MB, 0x9F, 0xC7, Write::kPage, 256},   {407, 4 * MB, 0x9F, 0xC7, Write::kPage, 256},
    {408, 8 * MB, 0x9F, 0xC7, Write::kPage, 256},   {409, 16 * MB, 0x9F, 0xC7, Write::kPage, 256},
    {421, 64 * KB, 0x90, 0xC7, Write::kPage, 256},  {422, 128 * KB, 0x90, 0xC7, Write::kPage, 256},
    {423, 256 * KB, 0x90, 0xC7, Write::kPage, 256}, {424, 512 * KB, 0x90, 0xC7, Write::kPage, 256},
    {501, 64 * KB, 0x15, 0x62, Write::kPage, 256},  {502, 128 * KB, 0x15, 0x62, Write::kPage, 256},
    {503, 256 * KB, 0x15, 0x62, Write::kPage, 256}, {601, 64 * KB, 0x9F, 0xC7, Write::kPage, 256},
    {602, 128 * KB, 0x9F, 0xC7, Write::k45, 264},   {603, 256 * KB, 0x9F, 0xC7, Write::k45, 264},
    {604, 512 * KB, 0x9F, 0xC7, Write::k45, 264},   {605, 1 * MB, 0x9F, 0xC7, Write::k45, 264},
    {606, 2 * MB, 0x9F, 0xC7, Write::k45, 528},     {607, 4 * MB, 0x9F, 0xC7, Write::k45, 528},
    {608, 8 * MB, 0x9F, 0xC7, Write::k45, 1056},    {609, 16 * MB, 0x9F, 0xC7, Write::k45, 256},
    {610, 256 * KB, 0x9F, 0xC7, Write::k45, 264},
};

// The SPI panel as both families show it: WPEN off, the block-protect list
// rebuilt for the device with nothing protected.
void ShowSpiPanel(app::Programmer& p, bool wpen_visible) {
  Controls& c = p.controls;
  // The handler must not take these changes for the user's.
  p.dev.spi_panel_update = true;
  c.SetText("p25CxxxSetting", "SPI EEPROM/FLASH ( 25xxxx) setting");
  c.Check("cbWPEN25C", false);
  c.Show("cbWPEN25C", wpen_visible);
  auto& bp = c["cb25CxxxBP"];
  bp.items = BlockProtectItems(p.image.device_size, p.dev.device_code);
  bp.index = 0;
  p.dev.spi_status = 0;  // nothing protected, as the panel now shows
  p.dev.spi_panel_update = false;
}

}  // namespace

void cb25CxxxBPChange(app::Programmer& p) {
  if (p.dev.spi_panel_update) return;
  const int index = p.controls.Index("cb25CxxxBP");
  uint8_t status = static_cast<uint8_t>((index * 4) & 0x0C);
  if (p.controls.Checked("cbWPEN25C")) status |= 0x80;
  p.dev.spi_status = status;
}

void M25C_Click(app::Programmer& p, const app::SelectItem& item) {
  app::StartSelection(p, item);
  Descriptor& d = p.dev;

  SelectSerialSocket(p);
  d.spi = Descriptor::Spi{};
  d.spi.clock_stretch = p.controls.Index("tb_clip");  // 0 until the bar is moved
  d.twp = 5;
  d.twc = 6000;
  p.controls["tbTWC"].index = d.twc;
  p.controls.SetText("edTWC", std::to_string(d.twc));
  if (const EepromRow* row = FindRow(kEepromRows, d.device_code)) {
    p.SetBufferSize(row->size);
    d.page_size = row->page_size;
  }
  ShowSpiPanel(p, d.device_code > 200);
  app::FinishSelection(p, 6, kSerialPattern);
}

void MX25L512_Click(app::Programmer& p, const app::SelectItem& item) {
  app::StartSelection(p, item);
  Descriptor& d = p.dev;

  SelectSerialSocket(p);
  d.spi = Descriptor::Spi{};
  d.page_size = 256;
  d.twp = 5;
  d.twc = 35;  // the AAI byte time
  if (const FlashRow* row = FindRow(kFlashRows, d.device_code)) {
    p.SetBufferSize(row->size);
    d.spi.id_read = row->id_read;
    d.spi.chip_erase = row->chip_erase;
    d.spi.aai = row->write == Write::kAai1 || row->write == Write::kAai2;
    d.spi.aai_program = row->write == Write::kAai1 ? 0xAF : 0xAD;
    d.spi.series45 = row->write == Write::k45;
    d.page_size = row->page_size;
  }
  ShowSpiPanel(p, false);
  app::FinishSelection(p, 57, kSerialPattern);
}

}  // namespace families::serial
