#include "app/sim_harness.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "sim/rom_chip.h"

namespace {

namespace fs = std::filesystem;

TEST(SimFaults, EveryKindFromItsText) {
  const struct {
    const char* text;
    bool board;
    sim::BoardFault board_fault;
    const char* chip_kind;
    uint32_t address;
    int arg1, arg2;
  } kCases[] = {
      {"noboard", true, sim::BoardFault::kNoBoard, "", 0, 0, 0},
      {"stuck-loopback-0", true, sim::BoardFault::kLoopStuck0, "", 0, 0, 0},
      {"stuck-loopback-1", true, sim::BoardFault::kLoopStuck1, "", 0, 0, 0},
      {"loopback-inverted", true, sim::BoardFault::kLoopInverted, "", 0, 0, 0},
      {"weak:0x100:5", false, sim::BoardFault::kNone, "weak", 0x100, 5, 0},
      {"stuck:16:3:1", false, sim::BoardFault::kNone, "stuck", 16, 3, 1},
      {"stuck:0xFFFFFF:15:0", false, sim::BoardFault::kNone, "stuck", 0xFFFFFF, 15, 0},
      {"flaky:0x7FFF:2", false, sim::BoardFault::kNone, "flaky", 0x7FFF, 2, 0},
      {"novpp", false, sim::BoardFault::kNone, "novpp", 0, 0, 0},
      {"protect:0x3C000", false, sim::BoardFault::kNone, "protect", 0x3C000, 0, 0},
      {"slow:0x10:1000", false, sim::BoardFault::kNone, "slow", 0x10, 1000, 0},
      {"busy-forever", false, sim::BoardFault::kNone, "busy-forever", 0, 0, 0},
      {"erase-pulses:0x100:3", false, sim::BoardFault::kNone, "erase-pulses", 0x100, 3, 0},
      {"sr4-once:5", false, sim::BoardFault::kNone, "sr4-once", 5, 0, 0},
      {"erase-fail:0x20000", false, sim::BoardFault::kNone, "erase-fail", 0x20000, 0, 0},
      {"nobypass", false, sim::BoardFault::kNone, "nobypass", 0, 0, 0},
      {"write-time:3", false, sim::BoardFault::kNone, "write-time", 0, 3, 0},
      {"sdp-on", false, sim::BoardFault::kNone, "sdp-on", 0, 0, 0},
      {"sector-fail:0x180:20", false, sim::BoardFault::kNone, "sector-fail", 0x180, 20, 0},
      {"erase-cycles:0", false, sim::BoardFault::kNone, "erase-cycles", 0, 0, 0},
      {"alias:A5:A4", false, sim::BoardFault::kNone, "alias", 0, 5, 4},
      {"dead-line:A7", true, sim::BoardFault::kDeadLine, "", 0, 7, 0},
      {"swap:D3:D5", true, sim::BoardFault::kSwap, "", 0, 3, 5},
      {"stuck-read:D4:1", true, sim::BoardFault::kStuckRead, "", 0, 4, 1},
      {"float:A8", false, sim::BoardFault::kNone, "float", 0, 8, 0},
      {"battery-dead", false, sim::BoardFault::kNone, "battery-dead", 0, 0, 0},
      {"nack", false, sim::BoardFault::kNone, "absent", 0, 0, 0},
      {"org:16", false, sim::BoardFault::kNone, "org", 0, 16, 0},
      {"bp:3", false, sim::BoardFault::kNone, "bp", 0, 3, 0},
      {"never:0x123", false, sim::BoardFault::kNone, "never", 0x123, 0, 0},
      {"lockbits:3", false, sim::BoardFault::kNone, "lockbits", 0, 3, 0},
      {"adapter-swap", false, sim::BoardFault::kNone, "adapter-swap", 0, 0, 0},
      {"rom", false, sim::BoardFault::kNone, "rom", 0, 0, 0},
  };
  for (const auto& c : kCases) {
    app::SimFault f;
    ASSERT_EQ(app::ParseSimFault(c.text, f), "") << c.text;
    EXPECT_EQ(f.kind->board, c.board) << c.text;
    EXPECT_EQ(f.board, c.board_fault) << c.text;
    EXPECT_EQ(f.chip.kind, c.chip_kind) << c.text;
    EXPECT_EQ(f.chip.address, c.address) << c.text;
    EXPECT_EQ(f.chip.arg1, c.arg1) << c.text;
    EXPECT_EQ(f.chip.arg2, c.arg2) << c.text;
  }
}

TEST(SimFaults, BadTextIsRefusedWithTheReason) {
  const struct {
    const char* text;
    const char* error;
  } kCases[] = {
      // The list names every kind; its head is enough to pin the form.
      {"bogus",
       "unknown fault \"bogus\" (the faults: noboard, nochip, stuck-loopback-0, "
       "stuck-loopback-1, loopback-inverted, dead-line:An, swap:Dn:Dm, stuck-read:Dn:LEVEL, "
       "weak:ADDR:PULSES, "
       "stuck:ADDR:BIT:LEVEL, "},
      {"swap:D3:D8", "m must be a number from 0 to 7"},
      {"dead-line:7", "fault \"dead-line:7\" is written dead-line:An"},
      {"alias:5:4", "fault \"alias:5:4\" is written alias:An:Am"},
      {"float:A24", "n must be a number from 0 to 23"},
      {"vpp_missing", "unknown fault"},
      {"", "unknown fault"},
      {"weak:0x10", "fault \"weak:0x10\" is written weak:ADDR:PULSES"},
      {"weak:1:2:3", "is written weak:ADDR:PULSES"},
      {"noboard:1", "is written noboard"},
      {"weak:-1:3", "ADDR must be a number from 0 to 0xFFFFFF"},
      {"weak:0x1000000:3", "ADDR must be"},
      {"weak:0x10:0", "PULSES must be a number from 1 to 1000"},
      {"weak:0x10:", "PULSES must be"},
      {"stuck:1:16:0", "BIT must be a number from 0 to 15"},
      {"stuck:1:3:2", "LEVEL must be a number from 0 to 1"},
      {"flaky:1:abc", "READS must be"},
      {"lockbits:0", "BITS must be a number from 1 to 3"},
      {"lockbits", "is written lockbits:BITS"},
  };
  for (const auto& c : kCases) {
    app::SimFault f;
    const std::string error = app::ParseSimFault(c.text, f);
    EXPECT_NE(error.find(c.error), std::string::npos) << c.text << ": " << error;
    EXPECT_EQ(f.kind, nullptr) << c.text;
  }
}

TEST(SimJumpers, KnownNamesOnly) {
  EXPECT_EQ(app::CheckSimJumper("erase"), "");
  EXPECT_EQ(app::CheckSimJumper("wirelink"), "");
  EXPECT_EQ(app::CheckSimJumper("a9-oe-ce-12v"), "");
  EXPECT_EQ(app::CheckSimJumper("Erase"),
            "unknown jumper \"Erase\" (the jumpers: erase, wirelink, a9-oe-12v, "
            "a9-oe-ce-12v, oe-ce-short)");
}

class SimChipFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("daraz-simchip-" + std::to_string(::getpid()) + "-" +
            std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Path(const char* name) const { return (dir_ / name).string(); }
  std::string Slurp(const char* name) const {
    std::ifstream in(dir_ / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  fs::path dir_;
};

TEST_F(SimChipFile, SavedAndLoadedThroughTheFileSystem) {
  sim::RomChip chip(4);
  chip.cells() = {1, 2, 3, 4};
  ASSERT_EQ(app::SaveSimChip(Path("c.sim"), chip, "27X4"), "");
  EXPECT_EQ(Slurp("c.sim").rfind("daraz-sim-chip 1\n", 0), 0u);
  // Only the file itself is left in the folder: the temporary was renamed.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);

  sim::RomChip back(4);
  EXPECT_EQ(app::LoadSimChip(Path("c.sim"), back, "27X4"), "");
  EXPECT_EQ(back.cells(), (std::vector<uint8_t>{1, 2, 3, 4}));

  const std::string error = app::LoadSimChip(Path("c.sim"), back, "27Y8");
  EXPECT_NE(error.find(Path("c.sim")), std::string::npos) << error;
  EXPECT_NE(error.find("holds a 27X4"), std::string::npos) << error;
  EXPECT_NE(app::LoadSimChip(Path("missing.sim"), back, ""), "");
}

TEST_F(SimChipFile, AFailedSaveLeavesNoFileBehind) {
  sim::RomChip chip(4);
  const std::string error = app::SaveSimChip(Path("no/such/folder/c.sim"), chip, "");
  EXPECT_NE(error.find("cannot write"), std::string::npos);
  fs::create_directories(dir_ / "taken");  // a folder where the file should go
  EXPECT_NE(app::SaveSimChip(Path("taken"), chip, ""), "");
  EXPECT_TRUE(fs::is_directory(dir_ / "taken"));
}

}  // namespace
