#include "app/chip_id.h"

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/programmer.h"
#include "support/recording_host.h"

namespace {

using app::ChipIdExtras;
using app::ChipIdResult;
namespace flag = app::chip_flag;

constexpr std::array<int, 4> kQry{0x51, 0x52, 0x59, 0x02};

class ChipIdPanel : public ::testing::Test {
 protected:
  daraz_test::RecordingHost host;
  app::Programmer p{host};
  const app::Controls& c = p.controls;
};

// The codes and names a user sees for the rows the panel is known by.
TEST(ChipIdLookup, KnownRowsGiveTheirNamesAndCodeTexts) {
  struct Row {
    uint8_t m, d;
    const char* manufacturer;
    const char* device;
  };
  const Row byte_rows[] = {
      {0x01, 0xA4, " AMD", " Am29F040"},
      {0x01, 0xA7, " AMD", " Am28F010"},
      {0x1F, 0x07, " ATMEL", " AT49F002(N)"},
      {0x20, 0xE2, " ST Micro", " M29F040B"},
      {0x20, 0x20, " ST Micro", " M29F010B"},
      {0x89, 0x94, " Intel", " 28F001BX-T"},
      {0x89, 0xB4, " Intel", " 28F010"},
      {0xBF, 0x04, " SST / Sanyo", " SST28SF/VF040A"},
      {0xBF, 0xB5, " SST / Sanyo", " SST39SF010A"},
      {0xC2, 0x18, " MXIC (MACRONIX)", " MX29F001T"},
      {0xDA, 0x45, " Winbond / ASD", " W29C020/022, AE29F2008"},
      {0x07, 0x19, " HITACHI", " 28F101T"},
  };
  for (const Row& row : byte_rows) {
    const ChipIdResult r = app::LookupChipId(row.m, row.d);
    EXPECT_EQ(r.manufacturer_name, row.manufacturer) << int(row.m) << "/" << int(row.d);
    EXPECT_EQ(r.device_name, row.device) << int(row.m) << "/" << int(row.d);
  }
  const ChipIdResult amd = app::LookupChipId(0x01, 0xA4);
  EXPECT_EQ(amd.ManufacturerIdText(), " 0x01");
  EXPECT_EQ(amd.DeviceIdText(), " 0xA4");

  const ChipIdResult intel = app::LookupChipId16(0x0089, 0x88C0);
  EXPECT_EQ(intel.manufacturer_name, " Intel");
  EXPECT_EQ(intel.device_name, " 28F800 C3T");
  EXPECT_EQ(intel.ManufacturerIdText(), " 0x0089");
  EXPECT_EQ(intel.DeviceIdText(), " 0x88C0");
  const ChipIdResult lv160 = app::LookupChipId16(0x0001, 0x2249);
  EXPECT_EQ(lv160.manufacturer_name, " AMD");
  EXPECT_EQ(lv160.device_name, " Am29LV160B");
  EXPECT_TRUE(lv160.Has(flag::kSectorProtect));
  const ChipIdResult sst = app::LookupChipId16(0x00BF, 0x2781);
  EXPECT_EQ(sst.manufacturer_name, " SST/Sanyo");
  EXPECT_EQ(sst.device_name, " SST39LF/VF800A");

  const ChipIdResult mx = app::LookupSpiChipId(0xC2, 0x20, 0x12);
  EXPECT_EQ(mx.manufacturer_name, " MXIC");
  EXPECT_EQ(mx.device_name, " MX25L2005");
  const ChipIdResult mx4 = app::LookupSpiChipId(0xC2, 0x20, 0x13);
  EXPECT_EQ(mx4.device_name, " MX25L4005A");
  EXPECT_EQ(mx4.ManufacturerIdText(), " 0xC2");
  EXPECT_EQ(mx4.DeviceIdText(), " 0x2013");
  // An older part answering with one device byte keeps the short form.
  const ChipIdResult sst25 = app::LookupSpiChipId(0xBF, 0x00, 0x49);
  EXPECT_EQ(sst25.device_name, " SST25VF010");
  EXPECT_EQ(sst25.DeviceIdText(), " 0x49");
}

TEST(ChipIdLookup, UnknownCodesAreNotErrors) {
  // Unknown manufacturer: placeholder name, no device, whatever the device byte.
  for (uint8_t m : {0x00, 0x7F, 0xFF, 0x55}) {
    const ChipIdResult r = app::LookupChipId(m, 0xA4);
    EXPECT_EQ(r.manufacturer_name, " [----]") << int(m);
    EXPECT_EQ(r.device_name, "") << int(m);
    EXPECT_EQ(r.flags, 0) << int(m);
  }
  EXPECT_EQ(app::LookupChipId16(0x007F, 0x2249).manufacturer_name, " [----]");
  EXPECT_EQ(app::LookupChipId16(0x0101, 0x2249).manufacturer_name, " [----]");
  EXPECT_EQ(app::LookupSpiChipId(0x7F, 0x20, 0x13).manufacturer_name, " [----]");

  // Known manufacturer, unknown device: the name stays, the device is empty.
  const ChipIdResult amd = app::LookupChipId(0x01, 0x00);
  EXPECT_EQ(amd.manufacturer_name, " AMD");
  EXPECT_EQ(amd.device_name, "");
  EXPECT_EQ(app::LookupChipId(0xB0, 0x12).manufacturer_name, " SHARP");
  EXPECT_EQ(app::LookupChipId16(0x0089, 0x0089).device_name, "");
  const ChipIdResult spi = app::LookupSpiChipId(0xEF, 0x40, 0x18);
  EXPECT_EQ(spi.manufacturer_name, " WINBOND");
  EXPECT_EQ(spi.device_name, "");
  // Word codes are not byte codes: the byte table's 0xA4 is not a word device.
  EXPECT_EQ(app::LookupChipId16(0x0001, 0x00A4).device_name, "");
}

TEST(ChipIdLookup, CfiQueryAnswerOffersTheReport) {
  ChipIdExtras e;
  e.cfi = kQry;
  EXPECT_TRUE(app::LookupChipId(0x55, 0x55, e).cfi);  // even for an unknown chip
  EXPECT_TRUE(app::LookupChipId16(0x0001, 0x2249, e).cfi);
  EXPECT_TRUE(app::LookupSpiChipId(0xC2, 0x20, 0x13, e).cfi);

  const std::array<int, 3> not_qry{0x51, 0x52, 0x5A};
  e.cfi = not_qry;
  EXPECT_FALSE(app::LookupChipId(0x01, 0xA4, e).cfi);
  const std::array<int, 2> short_buffer{0x51, 0x52};
  e.cfi = short_buffer;
  EXPECT_FALSE(app::LookupChipId(0x01, 0xA4, e).cfi);
  EXPECT_FALSE(app::LookupChipId(0x01, 0xA4).cfi);
  // Word-mode buffers hold words; a set high byte is not "Q".
  const std::array<int, 3> wide{0x0151, 0x0052, 0x0059};
  EXPECT_FALSE(app::CfiStartsWithQry(wide));
}

TEST(ChipIdLookup, MicrocontrollerSignaturesUseTheThirdByte) {
  for (int family : {10, 11}) {
    ChipIdExtras e;
    e.family = family;
    e.third_byte = 0x06;
    const ChipIdResult s51 = app::LookupChipId(0x1E, 0x51, e);
    EXPECT_EQ(s51.manufacturer_name, " ATMEL");
    EXPECT_EQ(s51.device_name, " AT89S51");
    EXPECT_EQ(s51.DeviceIdText(), " 0x5106");

    e.third_byte = 0xFF;  // the 12 V part: told apart by nothing but the first two bytes
    const ChipIdResult c51 = app::LookupChipId(0x1E, 0x51, e);
    EXPECT_EQ(c51.device_name, " AT89C51");
    EXPECT_FALSE(c51.third_byte.has_value());
    EXPECT_EQ(c51.DeviceIdText(), " 0x51");

    e.third_byte.reset();
    EXPECT_EQ(app::LookupChipId(0x1E, 0x52, e).device_name, " AT89C52");
    EXPECT_EQ(app::LookupChipId(0x1E, 0x21, e).device_name, " AT89C2051");

    // A flash code is no microcontroller: no flash name, no flash flags.
    const ChipIdResult amd = app::LookupChipId(0x01, 0x20, e);
    EXPECT_EQ(amd.manufacturer_name, " [----]");
    EXPECT_EQ(amd.device_name, "");
    const ChipIdResult st = app::LookupChipId(0x20, 0x20, e);
    EXPECT_EQ(st.manufacturer_name, " [----]");
    EXPECT_EQ(st.flags, 0);
    const ChipIdResult intel = app::LookupChipId(0x89, 0xB4, e);
    EXPECT_EQ(intel.manufacturer_name, " intel");
    EXPECT_EQ(intel.device_name, "");
  }
  // Outside the MCS-51 families the flash table answers.
  EXPECT_EQ(app::LookupChipId(0x1E, 0x51).manufacturer_name, " [----]");
}

TEST(ChipIdLookup, AvrSignatureAndLockByte) {
  ChipIdExtras e;
  e.family = 14;
  e.third_byte = 0x02;
  e.lock_byte = 0x7F;  // LB1 (bit 7) programmed
  const ChipIdResult r = app::LookupChipId(0x1E, 0x91, e);
  EXPECT_EQ(r.manufacturer_name, " Atmel  ( AVR )");
  EXPECT_EQ(r.device_name, " AT90S2323");
  EXPECT_EQ(r.DeviceIdText(), " 0x91");
  EXPECT_EQ(r.lock_mode, " Lockbit Mode 2");

  e.third_byte = 0x05;
  EXPECT_EQ(app::LookupChipId(0x1E, 0x91, e).device_name, " AT90S2333");
  e.third_byte = 0x07;
  EXPECT_EQ(app::LookupChipId(0x1E, 0x91, e).device_name, "");
  e.third_byte.reset();
  EXPECT_EQ(app::LookupChipId(0x1E, 0x90, e).device_name, "");
  // Another manufacturer byte goes to the flash table.
  EXPECT_EQ(app::LookupChipId(0x1F, 0x07, e).device_name, " AT49F002(N)");

  // The fuse and lock byte: LB1 on bit 7, LB2 on bit 6, 0 = programmed.
  EXPECT_EQ(app::AvrLockModeText(0xFF), " Lockbit Mode 1");
  EXPECT_EQ(app::AvrLockModeText(0x7F), " Lockbit Mode 2");
  EXPECT_EQ(app::AvrLockModeText(0x3F), " Lockbit Mode 3");
  EXPECT_EQ(app::AvrLockModeText(0xBF), " Lockbit Mode ?");
  EXPECT_EQ(app::AvrLockModeText(0xF9), " Lockbit Mode 1");  // the low bits do not count
  // The AT90S2333/4433 read LB1 on bit 1 and LB2 on bit 2.
  EXPECT_EQ(app::AvrLockModeText(0xFF, true), " Lockbit Mode 1");
  EXPECT_EQ(app::AvrLockModeText(0xFD, true), " Lockbit Mode 2");
  EXPECT_EQ(app::AvrLockModeText(0xF9, true), " Lockbit Mode 3");
  EXPECT_EQ(app::AvrLockModeText(0xFB, true), " Lockbit Mode ?");
  EXPECT_EQ(app::AvrLockModeText(0x3F, true), " Lockbit Mode 1");
}

TEST_F(ChipIdPanel, ShowsCodesNamesAndLockFields) {
  ChipIdExtras e;
  e.cfi = kQry;
  app::LookupChipId(p, 0xDA, 0x45, e);
  EXPECT_TRUE(c.Visible("pIDcode"));
  EXPECT_EQ(c.Text("edManufacID"), " 0xDA");
  EXPECT_EQ(c.Text("edDeviceID"), " 0x45");
  EXPECT_EQ(c.Text("edManufacName"), " Winbond / ASD");
  EXPECT_EQ(c.Text("edDeviceName"), " W29C020/022, AE29F2008");  // longer than 19: kept whole
  EXPECT_FALSE(c.Visible("edLockbit"));
  EXPECT_FALSE(c.Visible("lbLockbit"));
  EXPECT_TRUE(c.Visible("edLockMode"));
  EXPECT_EQ(c.Text("edLockMode"), "");
  EXPECT_TRUE(c.Visible("btnCFI"));
  EXPECT_EQ(host.controls_changed, 1);

  e = {};
  e.lock_byte = 0x1C;
  app::LookupSpiChipId(p, 0xEF, 0x30, 0x13, e);
  EXPECT_EQ(c.Text("edDeviceID"), " 0x3013");
  EXPECT_EQ(c.Text("edDeviceName"), " W25X040");
  EXPECT_TRUE(c.Visible("edLockbit"));
  EXPECT_EQ(c.Text("edLockbit"), " 0x1C");
  EXPECT_EQ(c.Text("lbLockbit"), "Status Register");
  EXPECT_FALSE(c.Visible("btnCFI"));  // this chip gave no query answer

  e.lock_byte = 0x00;
  app::LookupChipId16(p, 0x0004, 0x22C4, e);
  EXPECT_EQ(c.Text("edManufacID"), " 0x0004");
  EXPECT_EQ(c.Text("edDeviceID"), " 0x22C4");
  EXPECT_EQ(c.Text("edLockbit"), " 0x00");
  EXPECT_EQ(c.Text("lbLockbit"), "Lock Bit");

  p.dev.family = 14;
  e.third_byte = 0x03;
  e.lock_byte = 0x3F;
  app::LookupChipId(p, 0x1E, 0x93, e);
  EXPECT_EQ(c.Text("edDeviceName"), " AT90S/LS8535");
  EXPECT_EQ(c.Text("edLockbit"), " 0x3F");
  EXPECT_EQ(c.Text("edLockMode"), " Lockbit Mode 3");

  p.dev.family = 4;
  app::LookupChipId(p, 0x01, 0xA4);
  EXPECT_FALSE(c.Visible("edLockbit"));
  EXPECT_EQ(c.Text("edLockMode"), "");
}

TEST_F(ChipIdPanel, FastModeFollowsTheLastIdentifiedChip) {
  p.controls.Check("cbFujitsu_fastmode", false);
  app::LookupChipId(p, 0x20, 0x20);  // M29F010B
  EXPECT_TRUE(p.dev.fast_mode_flag);
  app::LookupChipId(p, 0x20, 0xE3);  // M29W040 has it too
  EXPECT_TRUE(p.dev.fast_mode_flag);
  app::LookupChipId(p, 0x20, 0xE2);  // M29F040B has not
  EXPECT_FALSE(p.dev.fast_mode_flag);

  app::LookupChipId(p, 0x20, 0x20);
  app::LookupChipId16(p, 0x0020, 0x22CA);
  EXPECT_FALSE(p.dev.fast_mode_flag);
  app::LookupChipId(p, 0x20, 0x20);
  app::LookupSpiChipId(p, 0x20, 0x20, 0x14);
  EXPECT_FALSE(p.dev.fast_mode_flag);
}

TEST_F(ChipIdPanel, SectorProtectionFollowsTheLastIdentifiedChip) {
  app::LookupChipId16(p, 0x0001, 0x2249);  // Am29LV160B
  EXPECT_TRUE(p.dev.sector_protect_display);
  app::LookupChipId16(p, 0x0001, 0x2258);  // Am29F800B: the tools cannot change it
  EXPECT_FALSE(p.dev.sector_protect_display);

  app::LookupChipId(p, 0xAD, 0xC4);  // HY29LV160T in byte mode
  EXPECT_TRUE(p.dev.sector_protect_display);
  app::LookupChipId(p, 0x7F, 0x00);
  EXPECT_FALSE(p.dev.sector_protect_display);

  app::LookupChipId16(p, 0x0098, 0x00C2);  // TC58FVT160
  EXPECT_TRUE(p.dev.sector_protect_display);
  app::LookupSpiChipId(p, 0xC2, 0x20, 0x13);
  EXPECT_FALSE(p.dev.sector_protect_display);
}

TEST_F(ChipIdPanel, LowVoltageNoteIsNeverTakenBack) {
  app::LookupChipId(p, 0x20, 0x20);  // a 5 V part leaves it alone
  EXPECT_FALSE(p.dev.vcc_3v3);
  app::LookupChipId(p, 0x01, 0x49);  // Am29LV160B
  EXPECT_TRUE(p.dev.vcc_3v3);
  app::LookupChipId(p, 0x01, 0xA4);
  app::LookupChipId(p, 0x33, 0x33);
  app::LookupChipId16(p, 0x0001, 0x2258);
  app::LookupSpiChipId(p, 0xC2, 0x20, 0x13);
  p.dev.family = 10;
  app::LookupChipId(p, 0x1E, 0x51);
  EXPECT_TRUE(p.dev.vcc_3v3);
}

// Every row must come back from its own lookup: a duplicate or shadowed code
// in a table would make some part unreachable.
TEST(ChipIdTables, EveryRowRoundTripsThroughItsLookup) {
  int rows = 0;
  for (const auto& m : app::ByteChipTable()) {
    for (const auto& d : m.devices) {
      const ChipIdResult r =
          app::LookupChipId(static_cast<uint8_t>(m.code), static_cast<uint8_t>(d.code));
      EXPECT_EQ(r.manufacturer_name, m.name);
      EXPECT_EQ(r.device_name, d.name) << "byte " << m.name << d.name;
      EXPECT_EQ(r.flags, d.flags) << d.name;
      EXPECT_LE(d.code, 0xFF) << d.name;
      ++rows;
    }
  }
  for (const auto& m : app::WordChipTable()) {
    for (const auto& d : m.devices) {
      const ChipIdResult r = app::LookupChipId16(m.code, d.code);
      EXPECT_EQ(r.manufacturer_name, m.name);
      EXPECT_EQ(r.device_name, d.name) << "word " << m.name << d.name;
      ++rows;
    }
  }
  for (const auto& m : app::SpiChipTable()) {
    for (const auto& d : m.devices) {
      const ChipIdResult r =
          app::LookupSpiChipId(static_cast<uint8_t>(m.code), static_cast<uint8_t>(d.code >> 8),
                               static_cast<uint8_t>(d.code));
      EXPECT_EQ(r.manufacturer_name, m.name);
      EXPECT_EQ(r.device_name, d.name) << "spi " << m.name << d.name;
      ++rows;
    }
  }
  for (const auto& m : app::McuChipTable()) {
    for (const auto& d : m.devices) {
      ChipIdExtras e;
      e.family = 10;
      if (d.third >= 0) e.third_byte = static_cast<uint8_t>(d.third);
      const ChipIdResult r =
          app::LookupChipId(static_cast<uint8_t>(m.code), static_cast<uint8_t>(d.code), e);
      EXPECT_EQ(r.device_name, d.name) << "mcu " << m.name << d.name;
      ++rows;
    }
  }
  for (const auto& d : app::AvrChipTable()) {
    ChipIdExtras e;
    e.family = 14;
    e.third_byte = static_cast<uint8_t>(d.third);
    EXPECT_EQ(app::LookupChipId(0x1E, static_cast<uint8_t>(d.code), e).device_name, d.name);
    ++rows;
  }
  EXPECT_GT(rows, 500);
}

TEST(ChipIdTables, NamesCarryTheirLeadingBlankAndManufacturersAreUnique) {
  for (auto table :
       {app::ByteChipTable(), app::WordChipTable(), app::SpiChipTable(), app::McuChipTable()}) {
    std::set<uint16_t> codes;
    for (const auto& m : table) {
      EXPECT_TRUE(codes.insert(m.code).second) << m.name;
      EXPECT_EQ(m.name[0], ' ') << m.name;
      for (const auto& d : m.devices) EXPECT_EQ(d.name[0], ' ') << d.name;
    }
  }
}

bool StartsWith(std::string_view s, std::string_view prefix) { return s.starts_with(prefix); }

// The flags follow the product's lists of low-voltage, fast-mode and
// protectable parts; a typo in a row's flags shows up here.
TEST(ChipIdTables, ByteTableFlagsMatchThePartLists) {
  const std::set<std::string> low_voltage{
      " AT29LV256",     " AT29LV512",     " AT29LV010A",     " AT29LV020",      " AT29LV040",
      " AT29LV040A",    " AT49BV/LV8011", " AT49BV/LV8011T", " AT49BV/LV16x4A", " AT49BV/LV16x4AT",
      " AT49BV/LV32x",  " AT49BV/LV32xT", " AT49BV3214T",    " AT49BV3218",     " AT49BV3218T",
      " W29L512",       " W39L010",       " W39L020",        " W39L040",        " 28F128 J3",
      " 28F320 J3",     " 28F640 J3",     " MT28F128J3",     " MT28F320J3",     " MT28F640J3",
      " SST29LE/VE512", " SST29LE/VE010", " SST29LE/VE020",  " SST29VF512",     " SST29VF010",
      " SST29VF020",    " SST29VF040",    " SST37VF512",     " SST37VF010",     " SST37VF020",
      " SST37VF040",    " A29L160T",      " A29L160B",       " A29L800/008T",   " A29L800/008B",
      " A29L040",       " A29L004T",      " A29L004B"};
  const std::vector<std::string_view> low_voltage_families{
      " Am29LV", " Am29PL", " Am29DL", " HY29LV", " SST39LF/VF", " SST49LF", " MX29LV", " MBM29LV"};
  const std::set<std::string> fast{" M29F010B", " M29W010", " M29F512", " M29W512B", " M29W040"};
  const std::set<std::string> protect{
      " Am29LV200BT", " Am29LV200BB", " Am29LV400BT", " Am29LV400BB", " Am29LV800T",
      " Am29LV800B",  " Am29LV160T",  " Am29LV160B",  " Am29LV320T",  " HY29LV400T",
      " HY29LV400B",  " HY29LV800T",  " HY29LV800B",  " HY29LV160T",  " HY29LV160B",
      " MBM29LV160T", " MBM29LV160B", " TC58FVT160",  " TC58FVB160",  " TC58FVT800"};

  for (const auto& m : app::ByteChipTable()) {
    for (const auto& d : m.devices) {
      const std::string name = d.name;
      bool lv = low_voltage.count(name) != 0;
      for (auto prefix : low_voltage_families) lv = lv || StartsWith(name, prefix);
      EXPECT_EQ((d.flags & flag::kVcc3v3) != 0, lv) << name;
      EXPECT_EQ((d.flags & flag::kFastMode) != 0, fast.count(name) != 0) << name;
      EXPECT_EQ((d.flags & flag::kSectorProtect) != 0, protect.count(name) != 0) << name;
    }
  }
  for (const auto& m : app::WordChipTable()) {
    for (const auto& d : m.devices) {
      EXPECT_EQ((d.flags & flag::kSectorProtect) != 0, protect.count(d.name) != 0) << d.name;
      EXPECT_EQ(d.flags & (flag::kVcc3v3 | flag::kFastMode), 0) << d.name;
    }
  }
  for (auto table : {app::SpiChipTable(), app::McuChipTable()})
    for (const auto& m : table)
      for (const auto& d : m.devices) EXPECT_EQ(d.flags, 0) << d.name;
}

}  // namespace
