// Reading, verifying and blank-checking UV EPROMs and the M87C256, the
// buffer-offset question, and the timing track bars.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/default_routines.h"
#include "families/parallel/m87c256.h"
#include "families/parallel/uv_eprom.h"
#include "uv_eprom_fixture.h"

namespace {

using daraz_test::EpromSession;
using daraz_test::Kinds;
using daraz_test::kOverStress;
using daraz_test::PartCase;

constexpr int k27C256 = 204;
constexpr int kM87C256 = 501;

// A part holding a counting pattern.
std::vector<uint8_t> Pattern(uint32_t size) {
  std::vector<uint8_t> bytes(size);
  for (uint32_t a = 0; a < size; ++a) bytes[a] = static_cast<uint8_t>(a * 7 + (a >> 8));
  return bytes;
}

TEST(UvEpromRead, CancelKeepsWhatWasReadAndSaysSo) {
  EpromSession s;
  s.Select27C(k27C256);
  const std::vector<uint8_t> chip = Pattern(0x8000);
  s.chip->SetContents(chip);
  s.p.image.data_end = 0x10;
  s.host.CancelAtRefresh(s.p, 10);
  s.Read();
  EXPECT_EQ(s.host.LastMessage(), std::make_pair(std::string("Process Cancelled"), 1));
  EXPECT_EQ(s.p.image[0x20], chip[0x20]);
  EXPECT_EQ(s.p.image[0x7FFF], 0xFF);
  EXPECT_EQ(s.p.image.data_end, 0x10u);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

TEST(UvEpromOffset, ReadStoresAtTheOffsetVerifyComparesFromIndexZero) {
  const std::vector<uint8_t> chip = Pattern(0x8000);
  {
    SCOPED_TRACE("read, answered No: from chip address 0 into index 0");
    EpromSession s;
    s.Select27C(k27C256);
    s.chip->SetContents(chip);
    s.p.image.buffer_offset = 0x100;
    s.host.AnswerNext({false});
    s.Read();
    EXPECT_EQ(s.host.Questions(), std::vector<std::string>{"Use offset of 0x000100"});
    EXPECT_EQ(s.p.image.buffer_offset, 0u);
    EXPECT_EQ(s.p.controls.Text("edOffset"), "0000");
    EXPECT_EQ(s.p.image[0], chip[0]);
    EXPECT_EQ(s.p.image[0x7FFF], chip[0x7FFF]);
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
  {
    SCOPED_TRACE("read, answered Yes: chip address offset + i into index offset + i");
    EpromSession s;
    s.Select27C(k27C256);
    s.chip->SetContents(chip);
    s.p.image.buffer_offset = 0x100;
    s.p.image.data_end = 0x8000;  // reaches the end: the read stops at the part's end
    s.Read();
    EXPECT_TRUE(s.host.HasMessage("Chip read OK", 0));
    EXPECT_EQ(s.p.image[0xFF], 0xFF);
    EXPECT_EQ(s.p.image[0x100], chip[0x100]);
    EXPECT_EQ(s.p.image[0x7FFF], chip[0x7FFF]);
    EXPECT_EQ(s.p.image[0x8000], 0xFF);
    EXPECT_EQ(s.p.image.device_size, 0x8000u);  // back to the full size
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
  {
    SCOPED_TRACE("verify, answered Yes: chip address offset + i against index i");
    EpromSession s;
    s.Select27C(k27C256);
    s.chip->SetContents(chip);
    std::vector<uint8_t> shifted(chip.begin() + 0x200, chip.begin() + 0x300);
    s.Load(shifted);
    s.p.image[0x100] = chip[0x300];  // the byte one past the data
    s.p.image.buffer_offset = 0x200;
    s.Verify();
    EXPECT_TRUE(s.host.HasMessage("Device Verify OK", 2)) << s.Last();
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
    s.p.image[0x40] ^= 0x01;
    s.Verify();
    // The address reported is the image index.
    char text[64];
    std::snprintf(text, sizeof text, " Error at 0x000040  Chip = 0x%02X  buffer = 0x%02X",
                  chip[0x240], s.p.image[0x40]);
    EXPECT_EQ(s.host.LastMessage(), std::make_pair(std::string(text), 1));
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
}

TEST(UvEpromOffset, AnOffsetPastThePartTouchesNothing) {
  for (void (*action)(app::Programmer&) : {app::mnuProgramClick, app::mnuReadClick}) {
    EpromSession s;
    s.Select27C(k27C256);
    s.LoadRandom(0x100);
    s.p.image.buffer_offset = 0x9000;
    s.Run(action);
    EXPECT_EQ(s.host.LastMessage().second, 1) << s.Last();
    EXPECT_TRUE(s.host.Questions().empty());
    EXPECT_EQ(s.chip->pulses(), 0u);
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  }
}

TEST(UvEpromVerify, ReportsTheFirstDifferenceAfterRereading) {
  EpromSession s;
  s.Select27C(203);  // 27128: read level flag set, PGM pin
  const std::vector<uint8_t> data = s.LoadRandom(0x1000);
  s.Program();
  ASSERT_TRUE(s.host.HasMessage("Device Programmed OK", 2)) << s.Last();
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  s.Verify();
  EXPECT_TRUE(s.host.HasMessage("Device Verify OK", 2));
  EXPECT_EQ(s.p.error, 0);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);

  s.p.image[0x0ABC] = static_cast<uint8_t>(~data[0x0ABC]);
  s.p.image[0x0ABD] = static_cast<uint8_t>(~data[0x0ABD]);
  s.Verify();
  char text[64];
  std::snprintf(text, sizeof text, " Error at 0x000ABC  Chip = 0x%02X  buffer = 0x%02X",
                data[0x0ABC], static_cast<uint8_t>(~data[0x0ABC]));
  EXPECT_EQ(s.host.LastMessage(), std::make_pair(std::string(text), 1));
  EXPECT_FALSE(s.host.HasMessage("Device Verify OK"));
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  EXPECT_EQ(s.Violations(), Kinds{kOverStress});
}

TEST(UvEpromBlank, DefaultBlankCheckSeesTheWholePartAtItsReadLevel) {
  const PartCase cases[] = {
      {"CE/PGM part", false, k27C256},
      {"PGM pin part", false, 202},
      {"OE/Vpp part", false, 205},
      {"NMOS 2716", true, 101},
  };
  for (const PartCase& c : cases) {
    SCOPED_TRACE(c.name);
    EpromSession s;
    s.SelectPart(c.nmos, c.tag);
    s.Blank();
    EXPECT_EQ(s.host.LastMessage(), std::make_pair(std::string("Device is Empty"), 2));
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
    const uint32_t last = s.p.image.device_size - 1;
    std::vector<uint8_t> contents(s.p.image.device_size, 0xFF);
    contents[last] = 0x7F;
    s.chip->SetContents(contents);
    s.Blank();
    char text[64];
    std::snprintf(text, sizeof text, "Device is NOT Empty ($%06x)", last);
    EXPECT_EQ(s.host.LastMessage(), std::make_pair(std::string(text), 1));
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
    EXPECT_EQ(s.Violations(), std::vector<std::string>{});
  }
}

TEST(M87C256, VerifyAndBlankCheckReadAtTheirOwnLevels) {
  EpromSession s;
  s.Select27C(kM87C256);
  ASSERT_EQ(s.p.dev.family, 33);
  ASSERT_FALSE(s.p.dev.read_level);
  const std::vector<uint8_t> data = s.LoadRandom(0x800);
  s.Program();
  ASSERT_TRUE(s.host.HasMessage("Device Programmed OK", 2)) << s.Last();
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);

  s.Verify();
  EXPECT_TRUE(s.host.HasMessage("Device Verify OK", 2)) << s.Last();
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  s.p.image[0x123] ^= 0x80;
  s.Verify();
  char text[64];
  std::snprintf(text, sizeof text, " Error at 0x000123  Chip = 0x%02X  buffer = 0x%02X",
                data[0x123], s.p.image[0x123]);
  EXPECT_EQ(s.host.LastMessage(), std::make_pair(std::string(text), 1));
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);

  // Blank check only looks as far as the data end.
  EpromSession blank;
  blank.Select27C(kM87C256);
  std::vector<uint8_t> contents(0x8000, 0xFF);
  contents[0x400] = 0x00;
  blank.chip->SetContents(contents);
  blank.p.image.data_end = 0x3FF;
  blank.Blank();
  EXPECT_EQ(blank.host.LastMessage(), std::make_pair(std::string("Device Emtry"), 2));
  EXPECT_TRUE(blank.host.HasMessage("Check Blank chip"));
  EXPECT_EQ(blank.board->RestState(), sim::kAtRest);
  blank.p.image.data_end = 0x400;
  blank.Blank();
  EXPECT_EQ(blank.host.LastMessage().first.rfind(" Error at 0x000400  Chip = 0x00", 0), 0u)
      << blank.Last();
  EXPECT_EQ(blank.p.error, 1);
  EXPECT_EQ(blank.board->RestState(), sim::kAtRest);
  EXPECT_EQ(s.Violations(), Kinds{kOverStress});
  EXPECT_EQ(blank.Violations(), Kinds{});
}

TEST(M87C256, ReadPairsChipAddressOffsetPlusIWithIndexI) {
  EpromSession s;
  s.Select27C(kM87C256);
  const std::vector<uint8_t> chip = Pattern(0x8000);
  s.chip->SetContents(chip);
  s.p.image.buffer_offset = 0x1000;
  s.p.image.data_end = 0x8000;
  s.Read();
  EXPECT_TRUE(s.host.HasMessage("Chip read OK", 0)) << s.Last();
  EXPECT_EQ(s.p.image[0], chip[0x1000]);
  EXPECT_EQ(s.p.image[0x6FFF], chip[0x7FFF]);
  EXPECT_EQ(s.p.image[0x7000], 0xFF);
  EXPECT_EQ(s.Violations(), std::vector<std::string>{});
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

// A byte that reads wrong a few times and then right: the EPROM verify and
// Verify33 read it up to five times, the default verify up to six.
struct RereadCase {
  const char* name;
  int tag;
  void (*verify)(app::Programmer&);
  int wrong_reads;
  std::string message;
  int64_t gauge;  // the gauge's maximum over indices 0..4
};

TEST(UvEpromVerify, RereadsAByteUpToItsLimitBeforeCallingItWrong) {
  const std::string kMismatch = " Error at 0x000003  Chip = 0x3D  buffer = 0x3C";
  const RereadCase cases[] = {
      {"EPROM verify, 4 wrong", k27C256, families::uv_eprom::Verify, 4, "Device Verify OK", 3},
      {"EPROM verify, 5 wrong", k27C256, families::uv_eprom::Verify, 5, kMismatch, 3},
      {"Verify33, 4 wrong", kM87C256, families::uv_eprom::Verify33, 4, "Device Verify OK", 4},
      {"Verify33, 5 wrong", kM87C256, families::uv_eprom::Verify33, 5, kMismatch, 4},
      {"default verify, 5 wrong", k27C256, app::DefaultVerify, 5, "Device Verify OK", 3},
      {"default verify, 6 wrong", k27C256, app::DefaultVerify, 6, kMismatch, 3},
  };
  for (const RereadCase& c : cases) {
    SCOPED_TRACE(c.name);
    EpromSession s;
    s.Select27C(c.tag);
    const std::vector<uint8_t> data = {0x00, 0x11, 0x22, 0x3C, 0x44};
    s.chip->SetContents(data);
    s.Load(data);
    s.p.image.data_end = 4;
    ASSERT_TRUE(s.chip->InjectFault({"flaky", 3, c.wrong_reads, 0}));  // reads 0x3D
    s.Run(c.verify);
    const auto gauges = s.host.Of(daraz_test::HostEvent::Type::kShowGauge);
    ASSERT_EQ(gauges.size(), 1u);
    EXPECT_EQ(gauges[0].text, "Verifying chip");
    EXPECT_EQ(gauges[0].value, c.gauge);
    EXPECT_EQ(gauges[0].colour, 0x008000u);
    EXPECT_EQ(s.Last(), c.message);
    EXPECT_EQ(s.p.error, c.message == kMismatch ? 1 : 0);
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
    EXPECT_EQ(s.Violations(), Kinds{});
  }
}

// The buffer-offset question: asked once by each read, verify, blank check
// and program run that starts with an offset, never by the verify that a
// program run ends with, never without an offset, and never by the default
// blank check, which ignores the offset.
enum class Act { kProgram, kVerify, kRead, kBlank };

struct OffsetCase {
  const char* name;
  int tag;
  Act act;
  uint32_t offset;
  std::vector<std::string> questions;
  std::string message;
  bool nmos = false;  // an NMOS 27xxx part (family 13)
};

TEST(UvEpromOffset, AskedOnceWhenThereIsAnOffsetAndNotAfterAProgram) {
  const std::vector<std::string> kAsked = {"Use offset of 0x000100"};
  const std::vector<std::string> kNone;
  const OffsetCase cases[] = {
      {"program", k27C256, Act::kProgram, 0x100, kAsked, "Device Programmed OK"},
      {"program, no offset", k27C256, Act::kProgram, 0, kNone, "Device Programmed OK"},
      {"program, two passes", 205, Act::kProgram, 0x100, kAsked, "Device Programmed OK"},
      {"verify", k27C256, Act::kVerify, 0x100, kAsked, "Device Verify OK"},
      {"verify, no offset", k27C256, Act::kVerify, 0, kNone, "Device Verify OK"},
      {"read", k27C256, Act::kRead, 0x100, kAsked, "Chip read OK"},
      {"read, no offset", k27C256, Act::kRead, 0, kNone, "Chip read OK"},
      {"default blank check", k27C256, Act::kBlank, 0x100, kNone, "Device is Empty"},
      {"NMOS verify", 105, Act::kVerify, 0x100, kAsked, "Device Verify OK", true},
      {"NMOS read", 105, Act::kRead, 0x100, kAsked, "Chip read OK", true},
      {"Program33", kM87C256, Act::kProgram, 0x100, kAsked, "Device Programmed OK"},
      {"Program33, no offset", kM87C256, Act::kProgram, 0, kNone, "Device Programmed OK"},
      {"Verify33", kM87C256, Act::kVerify, 0x100, kAsked, "Device Verify OK"},
      {"Verify33, no offset", kM87C256, Act::kVerify, 0, kNone, "Device Verify OK"},
      {"Read33", kM87C256, Act::kRead, 0x100, kAsked, "Chip read OK"},
      {"Read33, no offset", kM87C256, Act::kRead, 0, kNone, "Chip read OK"},
      {"Blank33", kM87C256, Act::kBlank, 0x100, kAsked, "Device Emtry"},
      {"Blank33, no offset", kM87C256, Act::kBlank, 0, kNone, "Device Emtry"},
  };
  const std::vector<uint8_t> data = {0x12, 0x34, 0x56, 0x78};
  for (const OffsetCase& c : cases) {
    SCOPED_TRACE(c.name);
    EpromSession s;
    s.SelectPart(c.nmos, c.tag);
    s.Load(data);
    s.p.image.buffer_offset = c.offset;
    if (c.act == Act::kVerify) {
      std::vector<uint8_t> contents(c.offset, 0xFF);
      contents.insert(contents.end(), data.begin(), data.end());
      s.chip->SetContents(contents);
    }
    switch (c.act) {
      case Act::kProgram:
        s.Program();
        break;
      case Act::kVerify:
        s.Verify();
        break;
      case Act::kRead:
        s.Read();
        break;
      case Act::kBlank:
        s.Blank();
        break;
    }
    EXPECT_EQ(s.host.Questions(), c.questions);
    EXPECT_EQ(s.Last(), c.message);
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
    EXPECT_EQ(s.Violations(), c.act == Act::kProgram ? Kinds{kOverStress} : Kinds{});
    if (c.act == Act::kRead) {
      EXPECT_EQ(s.host.caption, "Tavrin Daraz RevSa(0.98V11)- EPROM Image");
      EXPECT_EQ(s.p.image.data_end, s.p.image.device_size);
    }
  }
}

TEST(UvEpromTrackBars, SetTheTimingsTheNextRunUses) {
  EpromSession s;
  s.Select27C(k27C256);
  families::uv_eprom::tbTWCChange(s.p, 2, 90);
  families::uv_eprom::tbTWCChange(s.p, 1, 250);  // beyond the bar's end
  EXPECT_EQ(s.p.dev.twp, 90);
  EXPECT_EQ(s.p.dev.twc, 100);
  EXPECT_EQ(s.p.controls.Index("tbTWC"), 100);
  families::uv_eprom::tbTWCChange(s.p, 3, 25);
  EXPECT_EQ(s.p.controls.Text("ed_tclip"), " 25.0 uS");
  s.p.dev.settings_update = true;
  families::uv_eprom::tbTWCChange(s.p, 2, 5);
  EXPECT_EQ(s.p.dev.twp, 90);
  s.p.dev.settings_update = false;

  // A 90-tick pulse (75 us) is short of a 100 us cell: every byte needs a
  // second, wider one, and the panels say so.
  s.LoadRandom(0x20);
  s.Program();
  EXPECT_TRUE(s.host.HasMessage("Device Programmed OK", 2)) << s.Last();
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  EXPECT_EQ(s.p.controls.Text("pLoopp"), "2");
  EXPECT_EQ(s.p.controls.Text("pTwpp"), std::to_string(90 + s.p.dev.add_step));
  EXPECT_EQ(s.p.controls.Text("pTwcp"), "110");
}

TEST(UvEpromTrackBars, TheDevicesOwnTimingIsKeptAndRestored) {
  EpromSession s;
  // 27C256: tWP 140, tWC 20; 27256 (NMOS): tWP 1200, tWC 50.
  s.Select27C(k27C256);
  EXPECT_EQ(s.p.dev.device_twp, 140);
  EXPECT_EQ(s.p.dev.device_twc, 20);
  families::uv_eprom::tbTWCChange(s.p, 2, 1);
  families::uv_eprom::tbTWCChange(s.p, 1, 7);
  EXPECT_EQ(s.p.dev.twp, 1);
  EXPECT_EQ(s.p.dev.device_twp, 140);  // the bar overrides, it does not redefine
  families::uv_eprom::RestoreDeviceTiming(s.p);
  EXPECT_EQ(s.p.dev.twp, 140);
  EXPECT_EQ(s.p.dev.twc, 20);
  // The bars go as far as their range allows: 140 is past its end.
  EXPECT_EQ(s.p.controls.Index("tbTWP"), 100);
  EXPECT_EQ(s.p.controls.Index("tbTWC"), 20);

  // Another device brings its own timing, whatever the bars said before.
  families::uv_eprom::tbTWCChange(s.p, 2, 3);
  s.Select27(105);
  EXPECT_EQ(s.p.dev.twp, 1200);
  EXPECT_EQ(s.p.dev.device_twp, 1200);
  EXPECT_EQ(s.p.dev.device_twc, 50);
}

}  // namespace
