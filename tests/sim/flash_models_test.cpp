// What every parallel flash model checks on its lines, whatever its command
// set: a commit while OE# is low and a WE# pulse shorter than the part's
// tWP are logged by name.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sim/flash12v.h"
#include "sim/flash12v_embedded.h"
#include "sim/flash_lines.h"
#include "sim/jedec_flash.h"
#include "sim/jedec_parts.h"
#include "sim/sst28_flash.h"
#include "sim/wsm_flash.h"

namespace {

struct ModelCase {
  const char* label;
  std::function<std::unique_ptr<sim::Chip>()> make;
  bool twelve_volts;  // the command register is live only with Vpp
};

const ModelCase kModels[] = {
    {"JedecFlash Am29F010",
     [] { return std::make_unique<sim::JedecFlash>(*sim::FindJedecPart("Am29F010")); }, false},
    {"Sst28 SST28SF040A",
     [] { return std::make_unique<sim::Sst28Flash>(*sim::FindSst28Part("SST28SF040A")); }, false},
    {"Flash12V 28F256",
     [] { return std::make_unique<sim::Flash12V>(*sim::FindFlash12VPart("28F256")); }, true},
    {"Flash12VEmbedded Am28F010A",
     [] {
       return std::make_unique<sim::Flash12VEmbedded>(*sim::FindFlash12VEmbeddedPart("Am28F010A"));
     },
     true},
    {"WsmFlash 28F002BX-T",
     [] { return std::make_unique<sim::WsmFlash>(*sim::FindWsmPart("28F002BX-T")); }, true},
};

class FlashModels : public daraz_test::FlashLines {
 protected:
  void Make(const ModelCase& c) {
    Insert(c.make());
    if (c.twelve_volts) Vpp(true);
    WaitUs(200);  // past every part's power-up time
    board.ClearViolations();
  }
};

TEST_F(FlashModels, ACommitWithOeLowAndAShortPulseAreLogged) {
  for (const ModelCase& c : kModels) {
    SCOPED_TRACE(c.label);
    board.SetAccessCost(1000);
    Make(c);
    // A read-array command written correctly leaves nothing to log.
    Write(0x10, 0xFF);
    EXPECT_EQ(board.violations(), std::vector<std::string>{});
    // OE# falls while WE# is still low: the write ends with the outputs on.
    bus.ShiftAddress(0x10);
    Bit(hw::ctrl::kDrive, true);
    bus.WriteBusByte(0xFF);
    Bit(hw::ctrl::kProgram, true);
    bus.WriteData();
    Bit(hw::ctrl::kDrive, false);
    Bit(hw::ctrl::kProgram, false);
    EXPECT_EQ(board.violations(), std::vector<std::string>{"commit with OE# low"});
    board.ClearViolations();
    // 20 ns a port access: WE# is low for one access, shorter than any
    // of these parts' 35 to 70 ns minimum.
    bus.ShiftAddress(0x10);
    Bit(hw::ctrl::kDrive, true);
    bus.WriteBusByte(0xFF);
    board.SetAccessCost(20);
    bus.ProgramPulse(0);
    board.SetAccessCost(1000);
    EXPECT_TRUE(Logged("write pulse shorter than tWP"));
    bus.PowerDown();
    board.RemoveChip();
    board.ClearViolations();
  }
}

// The slow-byte fault stretches one byte's program time by its factor on
// every model that times its own program: the byte still reads busy at ten
// times the datasheet's typical time and is done after a hundred.
TEST_F(FlashModels, ASlowByteKeepsThePartBusyByItsFactor) {
  struct Case {
    const ModelCase& model;
    std::vector<std::pair<uint32_t, uint8_t>> program;  // 0x35 to 0x40
    int64_t typical_us;
    uint8_t busy_bit7;  // DQ7 (the complement of 0x35's bit 7) or SR7
    bool status_until_reset;
    bool software_protected;  // the SST28 powers up protected
  };
  const Case cases[] = {
      {kModels[0],
       {{0x5555, 0xAA}, {0x2AAA, 0x55}, {0x5555, 0xA0}, {0x40, 0x35}},
       7,
       0x80,
       false,
       false},
      {kModels[1], {{0x40, 0x10}, {0x40, 0x35}}, 20, 0x80, false, true},
      {kModels[3], {{0x40, 0x10}, {0x40, 0x35}}, 14, 0x80, false, false},
      {kModels[4], {{0x40, 0x40}, {0x40, 0x35}}, 9, 0x00, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.model.label);
    Make(c.model);
    if (c.software_protected) {
      // The seven unprotect reads, each address taken as OE# rises.
      for (uint32_t a : {0x1823, 0x1820, 0x1822, 0x0418, 0x041B, 0x0419, 0x041A}) {
        Bit(hw::ctrl::kDrive, false);
        bus.SetAddress(a, 2);
        WaitUs(8);
        Bit(hw::ctrl::kDrive, true);
      }
    }
    ASSERT_TRUE(board.chip()->InjectFault({"slow", 0x40, 100, 0}));
    for (const auto& [address, data] : c.program) Write(address, data);
    WaitUs(10 * c.typical_us);
    EXPECT_EQ(Read(0x40) & 0x80, c.busy_bit7) << "still busy";
    WaitUs(100 * c.typical_us);
    if (c.status_until_reset) Write(0, 0xFF);
    EXPECT_EQ(Read(0x40), 0x35);
    EXPECT_EQ(board.violations(), std::vector<std::string>{});
    bus.PowerDown();
    board.RemoveChip();
  }
}

// The slow cell stretches only the erase of the sector or block that holds
// it: a part with one slow byte still erases its other blocks in the
// datasheet's typical time (1 s for the Am29F010 sector and the 28F002BX
// block). Busy reads DQ7 = 0 (JEDEC data polling) or SR7 = 0 (WSM status).
TEST_F(FlashModels, ASlowByteSlowsOnlyTheEraseOfItsOwnBlock) {
  using Cycles = std::vector<std::pair<uint32_t, uint8_t>>;
  struct Case {
    const ModelCase& model;
    Cycles erase_other;  // a block without the slow byte
    Cycles erase_slow;   // the block of 0x40
    uint32_t other;
    bool status_until_reset;
  };
  const auto sector_erase = [](uint32_t at) {
    return Cycles{{0x5555, 0xAA}, {0x2AAA, 0x55}, {0x5555, 0x80},
                  {0x5555, 0xAA}, {0x2AAA, 0x55}, {at, 0x30}};
  };
  const Case cases[] = {
      {kModels[0], sector_erase(0x4000), sector_erase(0x0000), 0x4000, false},
      {kModels[4],
       {{0x20000, 0x20}, {0x20000, 0xD0}},
       {{0x0000, 0x20}, {0x0000, 0xD0}},
       0x20000,
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.model.label);
    Make(c.model);
    ASSERT_TRUE(board.chip()->InjectFault({"slow", 0x40, 100, 0}));
    for (const auto& [address, data] : c.erase_other) Write(address, data);
    WaitUs(900'000);
    EXPECT_EQ(Read(c.other) & 0x80, 0x00) << "busy for most of a second";
    WaitUs(200'000);
    EXPECT_EQ(Read(c.other) & 0x80, 0x80) << "done in the typical time";
    if (c.status_until_reset) Write(0, 0xFF);
    EXPECT_EQ(Read(c.other), 0xFF);
    // The block with the slow byte is still busy at ten times that.
    for (const auto& [address, data] : c.erase_slow) Write(address, data);
    WaitUs(10'000'000);
    EXPECT_EQ(Read(0x40) & 0x80, 0x00) << "the slow block";
    EXPECT_EQ(board.violations(), std::vector<std::string>{});
    bus.PowerDown();
    board.RemoveChip();
  }
}

}  // namespace
