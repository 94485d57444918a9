// Cancel pressed during a program pass: every program routine stops where
// it is, says "program interrupted!", sets the error flag and leaves the
// board powered down with Vpp released.
#include <gtest/gtest.h>

#include "families/flash/flash_fixture.h"

namespace {

using app::HandlerId;
using daraz_test::FlashSession;

TEST(FlashCancel, EachProgramRoutineStopsSaysSoAndPowersDown) {
  struct Case {
    const char* routine;
    HandlerId handler;
    int tag;
    const char* caption;
    const char* box;     // ticked by the user, or nullptr
    const char* untick;  // unticked by the user, or nullptr
    bool verify_after;   // P8 runs its verify after Cancel too
  };
  const Case cases[] = {
      {"P1", HandlerId::M29F_Click, 105, "29F010", nullptr, nullptr, false},
      {"P2", HandlerId::AT49F00x_Click, 103, "29F002", nullptr, nullptr, false},
      {"P3", HandlerId::AT49F00x_Click, 413, "M29F040B", "cbFujitsu_fastmode", nullptr, false},
      {"P4", HandlerId::Am29Fx00_Click, 103, "Am29F400", nullptr, nullptr, false},
      {"P5", HandlerId::Am29Fx00_Click, 303, "29LV800", "cbFujitsu_fastmode", nullptr, false},
      {"P6", HandlerId::Am29Fx00_Click, 505, "AT49F8011", "cbFujitsu_fastmode", nullptr, false},
      {"P7", HandlerId::Am29Fx00_Click, 201, "MX29F1610", nullptr, nullptr, false},
      {"P8", HandlerId::SST28xF040A1Click, 1, "SST28xF040A", nullptr, nullptr, true},
      {"I1", HandlerId::M28F_Click, 105, "28F010", nullptr, nullptr, false},
      {"I2", HandlerId::M28F_Click, 123, "Am28F010A", nullptr, nullptr, false},
      {"I5", HandlerId::i28Fx00_Click, 103, "28F400 B5- T", nullptr, nullptr, false},
      {"I8 buffered", HandlerId::i28Fx00_Click, 301, "28F320J3", nullptr, nullptr, false},
      {"I8 bytes", HandlerId::i28Fx00_Click, 301, "28F320J3", nullptr, "cb28F320J3buffer", false},
      {"I11", HandlerId::MX28F20001Click, 101, "MX28F1000P", nullptr, nullptr, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.routine);
    FlashSession s;
    s.Select(c.handler, c.tag, c.caption);
    if (c.box != nullptr) s.p.controls.Check(c.box);
    if (c.untick != nullptr) s.p.controls.Check(c.untick, false);
    s.Load(std::vector<uint8_t>(0x1800, 0x00));
    s.host.CancelAtRefresh(s.p, 2);
    s.Program();
    if (c.verify_after) {
      EXPECT_TRUE(s.host.HasMessage("program interrupted!", hw::kError));
    } else {
      EXPECT_EQ(s.host.LastMessage(),
                std::make_pair(std::string("program interrupted!"), static_cast<int>(hw::kError)));
    }
    EXPECT_FALSE(s.host.HasMessage("Device Programmed OK"));
    EXPECT_EQ(s.p.error, 1);
    EXPECT_EQ(s.Cells()[0x17FF], 0xFF) << "the pass stopped short of the last byte";
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
}

// Cancel during the long reads and chip erases of the word and hub parts:
// each stops, says "program interrupted!", sets the error flag, never
// reports itself done, and leaves the board at rest.
TEST(FlashCancel, WideAndHubReadsAndErasesStopAndSaySo) {
  struct Case {
    const char* name;
    HandlerId handler;
    int tag;
    const char* caption;
    bool erase;  // else a read of the whole part
    const char* done;
  };
  const Case cases[] = {
      {"W1 read", HandlerId::MBM29LV160Click, 105, "MBM29LV160 -T", false, "Chip read OK"},
      {"W6 erase", HandlerId::MBM29LV160Click, 105, "MBM29LV160 -T", true,
       "erase completed by check DQ7"},
      {"hub read", HandlerId::SST49LF002_Click, 101, "SST49LF002A", false, "Chip read OK"},
      {"F7 erase", HandlerId::SST49LF002_Click, 101, "SST49LF002A", true,
       "erase completed by check DQ7"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FlashSession s;
    s.Select(c.handler, c.tag, c.caption);
    s.Fill(0x00);
    s.host.CancelAtRefresh(s.p, 2);
    if (c.erase) {
      s.Erase();
    } else {
      s.ReadBack(s.p.image.full_device_size);
    }
    EXPECT_EQ(s.host.LastMessage(),
              std::make_pair(std::string("program interrupted!"), static_cast<int>(hw::kError)));
    EXPECT_EQ(s.p.error, 1);
    EXPECT_FALSE(s.host.HasMessage(c.done));
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
}

}  // namespace
