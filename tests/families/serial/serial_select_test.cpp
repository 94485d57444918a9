// Selection of the serial memories: I2C, Microwire, serial NVRAM and SPI.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/programmer.h"
#include "app/selection.h"
#include "families/serial/microwire_select.h"
#include "families/serial/spi_select.h"
#include "support/select_fixture.h"

namespace {

using app::HandlerId;
namespace serial = families::serial;
using daraz_test::KB;
using daraz_test::MB;

class SerialSelect : public daraz_test::SelectFixture {};

TEST_F(SerialSelect, EverySerialSelectionLocksTheOffsetAndKeepsTheHardwareTest) {
  const std::pair<HandlerId, int> items[] = {
      {HandlerId::M24C_Click, 202}, {HandlerId::M93C_Click, 6},   {HandlerId::CAT64LC10_Click, 102},
      {HandlerId::S24H30_Click, 2}, {HandlerId::M25C_Click, 203}, {HandlerId::MX25L512_Click, 405},
  };
  for (const auto& [handler, tag] : items) {
    SCOPED_TRACE(app::HandlerName(handler));
    p.image.buffer_offset = 0x100;
    Select(handler, tag);
    EXPECT_FALSE(p.dev.serial);  // the actions run the hardware test
    EXPECT_EQ(p.image.buffer_offset, 0u);
    EXPECT_FALSE(p.controls.Enabled("edOffset"));
    EXPECT_FALSE(p.controls.Enabled("lbOffset"));
    EXPECT_EQ(p.dev.socket_picture, 240);
  }
  // A parallel chip afterwards gets its offset field back.
  Select(HandlerId::M29F_Click, 105);
  EXPECT_TRUE(p.controls.Enabled("edOffset"));
}

TEST_F(SerialSelect, StoredSerialDevicesReselectThroughTheirHandler) {
  const struct {
    int family, tag;
    uint32_t size;
    int expected_family;
  } cases[] = {
      {1, 204, 1024, 1}, {2, 303, 16384, 2}, {39, 101, 128, 39},
      {8, 12, 512, 8},   {51, 10, 128, 8},   {32, 103, 512, 32},
      {52, 1, 8, 52},    {6, 206, 32768, 6}, {57, 608, 8 * MB, 57},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.family);
    app::ReselectByCode(p, c.family, c.tag, "stored");
    EXPECT_EQ(p.dev.family, c.expected_family);
    EXPECT_EQ(p.image.device_size, c.size);
    EXPECT_EQ(p.controls.Text("edDevice"), "stored");
  }
}

TEST_F(SerialSelect, I2cRowsGiveSizePageFamilyAndAcknowledgeSpeed) {
  const struct {
    int tag;
    uint32_t size, page;
    int family;
    bool slow;
  } cases[] = {{101, 128, 4, 39, false}, {203, 512, 16, 1, false},  {221, 256, 8, 1, true},
               {402, 256, 8, 1, true},   {301, 4096, 32, 2, false}, {306, 65536, 128, 2, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tag);
    Select(HandlerId::M24C_Click, c.tag);
    EXPECT_EQ(p.image.device_size, c.size);
    EXPECT_EQ(p.dev.page_size, c.page);
    EXPECT_EQ(p.dev.family, c.family);
    EXPECT_EQ(p.dev.slow_ack, c.slow);
  }
}

TEST_F(SerialSelect, SharedPanelShowsOnlyTheControlsOfTheChosenFamily) {
  p.controls.Check("r24Cpin7high");
  p.dev.pin7 = 1;
  Select(HandlerId::M93C_Click, 2);
  EXPECT_EQ(p.controls.Text("p24CSettings"), "Microwire 93Cxx setting");
  EXPECT_TRUE(p.controls.Visible("cb93ICSP"));
  EXPECT_FALSE(p.controls.Visible("r24Cpin7Low"));
  Select(HandlerId::M24C_Click, 202);
  EXPECT_EQ(p.controls.Text("p24CSettings"), "24Cxxx [ PIN 7 (WP) ]");
  EXPECT_TRUE(p.controls.Checked("r24Cpin7Low"));
  EXPECT_FALSE(p.controls.Checked("r24Cpin7high"));
  EXPECT_TRUE(p.controls.Visible("r24Cpin7Low"));
  EXPECT_EQ(p.dev.pin7, 0);
  for (const char* name : {"lb16bitmode", "cb93ICSP", "rb93_16bit", "rb93_8bit"}) {
    EXPECT_FALSE(p.controls.Visible(name)) << name;
  }
}

TEST_F(SerialSelect, MicrowireRowsWidenTheFramesToTheDevicesAddress) {
  const struct {
    int tag;
    uint32_t size;
    bool word_mode;
    int address_bits;
    uint32_t read;
  } cases[] = {
      {1, 32, false, 7, 0x300},
      {4, 256, false, 9, 0xC00},
      {5, 256, false, 8, 0x600},
      {9, 32, true, 6, 0x180},
      {14, 2048, true, 10, 0x1800},
      // AT59C13: a 4-Kbit part with eleven address bits.
      {203, 512, false, 11, 0x3000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tag);
    Select(HandlerId::M93C_Click, c.tag);
    const auto& mw = p.dev.microwire;
    EXPECT_EQ(p.image.device_size, c.size);
    EXPECT_EQ(mw.word_mode, c.word_mode);
    EXPECT_EQ(mw.address_bits, c.address_bits);
    EXPECT_EQ(mw.frame_length, c.address_bits + 3);
    EXPECT_EQ(mw.read, c.read);
    // Every template moves with READ.
    EXPECT_EQ(mw.write * 0x300, c.read * 0x280);
    EXPECT_EQ(mw.eral * 0x300, c.read * 0x240);
    EXPECT_EQ(p.dev.family, 8);
    EXPECT_EQ(p.controls.Text("lb16bitmode"), c.word_mode ? " 16 bit mode" : " 8 bit mode");
    EXPECT_EQ(p.controls.Checked("rb93_16bit"), c.word_mode);
    EXPECT_EQ(p.controls.Checked("rb93_8bit"), !c.word_mode);
  }
}

TEST_F(SerialSelect, MicrowireOrganisationButtonsRederiveTheFramesFromTheSize) {
  Select(HandlerId::M93C_Click, 12);  // 93C66, 16-bit: word 0x85 reads with 0x685
  EXPECT_EQ(p.dev.microwire.read | 0x85, 0x685u);
  EXPECT_EQ(p.dev.microwire.frame_length, 11);
  Select(HandlerId::M93C_Click, 11);  // 93C56, 16-bit
  serial::rb93_8bitClick(p);
  EXPECT_EQ(p.dev.microwire.read, 0xC00u);
  EXPECT_EQ(p.dev.microwire.frame_length, 12);
  EXPECT_FALSE(p.dev.microwire.word_mode);
  EXPECT_TRUE(p.controls.Checked("rb93_8bit"));
  serial::rb93_16bitClick(p);
  EXPECT_EQ(p.dev.microwire.read, 0x600u);
  EXPECT_TRUE(p.dev.microwire.word_mode);
  EXPECT_EQ(p.controls.Text("lb16bitmode"), " 16 bit mode");
}

TEST_F(SerialSelect, Cat64AndNvramRows) {
  Select(HandlerId::CAT64LC10_Click, 101);
  EXPECT_EQ(p.image.device_size, 128u);
  EXPECT_EQ(p.dev.cat64_shift, 2);
  EXPECT_EQ(p.dev.twc, 7000);
  EXPECT_EQ(p.dev.twp, 10);

  Select(HandlerId::S24H30_Click, 1);
  EXPECT_EQ(p.image.device_size, 8u);
  EXPECT_FALSE(p.dev.nvram_words);
  EXPECT_EQ(p.controls.Text("p24CSettings"), "SERIAL NON-VOLATILE RAM");
  EXPECT_EQ(host.Informations(), std::vector<std::string>{" Use socket 93Cxx and Pin 6,7 = 'H' "});
  Select(HandlerId::S24H30_Click, 2);
  EXPECT_TRUE(p.dev.nvram_words);
  // An item that names no device selects nothing, so it has nothing to say.
  host.Clear();
  Select(HandlerId::S24H30_Click, 0);
  EXPECT_TRUE(host.Informations().empty());
  EXPECT_EQ(p.image.device_size, 32u);
}

TEST_F(SerialSelect, SpiEepromRowsAndBlockProtectPanel) {
  const struct {
    int tag;
    uint32_t size, page;
    std::vector<std::string> bp;
  } cases[] = {
      {101, 128, 0, {" None", " 60h - 7Fh", " 40h - 7Fh", " 00h - 7Fh"}},
      {202, 2048, 32, {" None", " 600h - 7FFh", " 400h - 7FFh", " 0000h - 7FFh"}},
      {401, 131072, 128, {" None", " 18000h - 1FFFFh", " 10000h - 1FFFFh", " 00000h - 1FFFFh"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tag);
    p.controls.Check("cbWPEN25C");
    p.controls["cb25CxxxBP"].index = 2;
    Select(HandlerId::M25C_Click, c.tag);
    EXPECT_EQ(p.image.device_size, c.size);
    EXPECT_EQ(p.dev.page_size, c.page);
    EXPECT_EQ(p.dev.family, 6);
    EXPECT_EQ(p.dev.twc, 6000);
    EXPECT_EQ(p.controls["cb25CxxxBP"].items, c.bp);
    EXPECT_EQ(p.controls.Index("cb25CxxxBP"), 0);
    EXPECT_EQ(p.controls.Visible("cbWPEN25C"), c.tag > 200);
    EXPECT_FALSE(p.controls.Checked("cbWPEN25C"));
    EXPECT_EQ(p.dev.spi_status, 0);
  }
  // Upper half with WPEN: the status byte written back after the data.
  p.controls["cb25CxxxBP"].index = 2;
  p.controls.Check("cbWPEN25C");
  serial::cb25CxxxBPChange(p);
  EXPECT_EQ(p.dev.spi_status, 0x88);
}

TEST_F(SerialSelect, SpiFlashRowsGiveSizeOpcodesAndWriteMethod) {
  const struct {
    int tag;
    uint32_t size;
    uint8_t id, erase;
    bool aai;
    uint8_t aai_op;
    bool series45;
    uint32_t page;
  } cases[] = {
      {102, 128 * KB, 0xAB, 0xC7, false, 0, false, 256},  // Pm25LV010
      {107, 4 * MB, 0xAB, 0xC7, false, 0, false, 256},
      {201, 64 * KB, 0x90, 0x60, true, 0xAF, false, 256},
      {205, 1 * MB, 0x9F, 0x60, true, 0xAD, false, 256},
      {424, 512 * KB, 0x90, 0xC7, false, 0, false, 256},
      {503, 256 * KB, 0x15, 0x62, false, 0, false, 256},
      {607, 4 * MB, 0x9F, 0xC7, false, 0, true, 528},
      {608, 8 * MB, 0x9F, 0xC7, false, 0, true, 1056},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tag);
    Select(HandlerId::MX25L512_Click, c.tag);
    const auto& spi = p.dev.spi;
    EXPECT_EQ(p.image.device_size, c.size);
    EXPECT_EQ(spi.id_read, c.id);
    EXPECT_EQ(spi.chip_erase, c.erase);
    EXPECT_EQ(spi.aai, c.aai);
    if (c.aai) {
      EXPECT_EQ(spi.aai_program, c.aai_op);
    }
    EXPECT_EQ(spi.series45, c.series45);
    EXPECT_EQ(p.dev.page_size, c.page);
    EXPECT_EQ(p.dev.family, 57);
    EXPECT_EQ(p.dev.twc, 35);
    EXPECT_FALSE(p.controls.Visible("cbWPEN25C"));
  }
  // A Tag the table does not list keeps the size but not the last part's
  // command table.
  Select(HandlerId::MX25L512_Click, 999);
  EXPECT_FALSE(p.dev.spi.series45);
  EXPECT_EQ(p.dev.spi.id_read, 0x9F);
  EXPECT_EQ(p.dev.page_size, 256u);
  EXPECT_EQ(p.image.device_size, 8 * MB);
}

}  // namespace
