#include "app/default_routines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "app/actions.h"
#include "app/dispatch_plan.h"
#include "support/sim_session.h"

namespace {

using daraz_test::HostEvent;
using daraz_test::SimSession;
using Msg = std::pair<std::string, int>;

constexpr int kFamily = 4;  // reads, verifies and blank-checks with the defaults
constexpr const char* kPrefix = app::kCaptionPrefix;

std::vector<uint8_t> Pattern(uint32_t size) {
  std::vector<uint8_t> bytes(size);
  uint32_t x = 0x12345678;
  for (auto& b : bytes) {
    x = x * 1103515245u + 12345u;
    b = static_cast<uint8_t>(x >> 16);
  }
  return bytes;
}

class DefaultRoutinesTest : public ::testing::Test {
 protected:
  void Setup(uint32_t size, sim::ReadLevel level = sim::ReadLevel::kAny) {
    rom = s.InsertRom(size, level);
    contents = Pattern(size);
    rom->SetContents(contents);
    s.SelectDevice(kFamily, size, "27C512");
    s.p.InitProgressStep(size);
  }
  void LoadImageFromChip() {
    std::copy(contents.begin(), contents.end(), s.p.image.data());
    s.p.image.data_end = static_cast<uint32_t>(contents.size());
  }
  void TearDown() override {
    EXPECT_TRUE(s.PoweredDown()) << "every routine ends with the socket powered down";
    const auto violations = s.board->violations();
    EXPECT_TRUE(violations.empty()) << violations.front();
  }

  SimSession s;
  sim::RomChip* rom = nullptr;
  std::vector<uint8_t> contents;
};

// --- read --------------------------------------------------------------------------

TEST_F(DefaultRoutinesTest, ReadFillsTheImageAndNamesIt) {
  Setup(0x2000);
  s.p.image.data_end = 5;
  s.p.image[0x2000] = 0x00;  // past the device: the read's clear sets it back
  app::DefaultRead(s.p);
  EXPECT_TRUE(std::equal(contents.begin(), contents.end(), s.p.image.data()));
  EXPECT_EQ(s.p.image[0x2000], 0xFF);
  EXPECT_EQ(s.p.image.data_end, 0x2000u);
  EXPECT_EQ(s.host.caption, std::string(kPrefix) + "27C512 Image");
  EXPECT_EQ(s.host.LastMessage(), Msg("Chip read OK", 0));
  const auto gauges = s.host.Of(HostEvent::Type::kShowGauge);
  ASSERT_EQ(gauges.size(), 1u);
  EXPECT_EQ(gauges[0].text, "Reading Chip");
  EXPECT_EQ(gauges[0].value, 0x2000);
  EXPECT_EQ(gauges[0].colour, app::colour::kBlack);
}

TEST_F(DefaultRoutinesTest, ReadHonoursScrambleAndReadLevel) {
  Setup(0x10000, sim::ReadLevel::kLow);
  s.p.dev.scramble = true;
  s.p.dev.read_level = true;
  app::DefaultRead(s.p);
  EXPECT_EQ(s.p.image[0x4000], contents[0xC000]);  // bit 14 doubles into bit 15
  EXPECT_EQ(s.p.image[0x0123], contents[0x0123]);
  // Without the read level the chip keeps its outputs off.
  s.p.dev.read_level = false;
  app::DefaultRead(s.p);
  EXPECT_EQ(s.p.image[0x0123], 0xFF);
}

TEST_F(DefaultRoutinesTest, ReadWithAnOffsetAsksFirst) {
  Setup(0x1000);
  s.p.image.buffer_offset = 0x1A2;
  s.p.image.data_end = 0x1000;  // data end + offset runs past the device: size shortens
  s.host.AnswerNext({true});
  app::DefaultRead(s.p);
  EXPECT_EQ(s.host.Questions(), std::vector<std::string>{"Use offset of 0x0001A2"});
  EXPECT_EQ(s.p.image[0], contents[0x1A2]);
  EXPECT_EQ(s.p.image[0x1000 - 0x1A2 - 1], contents[0xFFF]);
  EXPECT_EQ(s.p.image[0x1000 - 0x1A2], 0xFF) << "the shortened read stops at the device end";
  EXPECT_EQ(s.p.image.device_size, 0x1000u) << "the size comes back after the action";

  // No: back to offset 0 and a whole read.
  s.host.AnswerNext({false});
  app::DefaultRead(s.p);
  EXPECT_EQ(s.p.image.buffer_offset, 0u);
  EXPECT_EQ(s.p.controls.Text("edOffset"), "0000");
  EXPECT_TRUE(std::equal(contents.begin(), contents.end(), s.p.image.data()));
}

TEST_F(DefaultRoutinesTest, ConfirmOffsetKeepsTheSizeWhenTheDataFits) {
  Setup(0x1000);
  s.p.image.buffer_offset = 0x100;
  s.p.image.data_end = 0x200;
  EXPECT_TRUE(app::ConfirmOffset(s.p));
  EXPECT_EQ(s.p.image.device_size, 0x1000u);
  s.p.image.data_end = 0xF00;
  EXPECT_TRUE(app::ConfirmOffset(s.p));
  EXPECT_EQ(s.p.image.device_size, 0xF00u);
}

TEST_F(DefaultRoutinesTest, AnOffsetBeyondTheDeviceIsRefused) {
  Setup(0x1000);
  for (uint32_t offset : {0x1000u, 0x5000u, 0xFFFFFFF0u}) {
    s.host.Clear();
    s.p.image.buffer_offset = offset;
    s.p.image.data_end = 0x10;
    s.p.image[0] = 0x5A;
    app::DefaultRead(s.p);
    app::DefaultVerify(s.p);
    EXPECT_TRUE(s.host.Questions().empty());
    EXPECT_EQ(s.host.LastMessage().second, hw::kError);
    EXPECT_NE(s.host.LastMessage().first.find("beyond the device size"), std::string::npos);
    EXPECT_EQ(s.p.error, 1);
    EXPECT_EQ(rom->accesses(), 0u);
    EXPECT_EQ(s.p.image.device_size, 0x1000u);
    EXPECT_FALSE(s.host.HasMessage("Device Verify OK"));
  }
}

// --- verify ------------------------------------------------------------------------

TEST_F(DefaultRoutinesTest, VerifyReportsOnlyWhenStartedOnItsOwn) {
  Setup(0x800);
  LoadImageFromChip();
  s.p.verify_after_program = 0;
  app::DefaultVerify(s.p);
  EXPECT_EQ(s.host.LastMessage(), Msg("Device Verify OK", 2));
  EXPECT_EQ(s.p.verify_after_program, 1);
  EXPECT_EQ(s.p.error, 0);
  // A second pass (as a program routine runs it) says nothing.
  s.host.Clear();
  s.p.image.buffer_offset = 0;
  app::DefaultVerify(s.p);
  EXPECT_FALSE(s.host.HasMessage("Device Verify OK"));
  EXPECT_EQ(s.p.error, 0);
}

TEST_F(DefaultRoutinesTest, VerifyRereadsAWeakByteUpToSixTimes) {
  Setup(0x800);
  LoadImageFromChip();
  ASSERT_TRUE(rom->InjectFault({"flaky", 0xA0, 5, 0x10}));
  app::DefaultVerify(s.p);
  EXPECT_EQ(rom->AccessesAt(0xA0), 6u);
  EXPECT_EQ(s.host.LastMessage(), Msg("Device Verify OK", 2));
  EXPECT_EQ(s.p.error, 0);

  ASSERT_TRUE(rom->InjectFault({"flaky", 0xA0, 6, 0x10}));
  s.p.verify_after_program = 0;
  s.host.Clear();
  app::DefaultVerify(s.p);
  char expect[80];
  std::snprintf(expect, sizeof expect, " Error at 0x0000A0  Chip = 0x%02X  buffer = 0x%02X",
                contents[0xA0] ^ 0x10, contents[0xA0]);
  EXPECT_EQ(s.host.LastMessage(), Msg(expect, 1));
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(rom->AccessesAt(0xA0), 6u) << "six reads, then the report";
}

TEST_F(DefaultRoutinesTest, VerifyMismatchIsReportedAtTheImageIndex) {
  Setup(0x1000);
  s.p.image.buffer_offset = 0x100;
  std::copy(contents.begin() + 0x100, contents.end(), s.p.image.data());
  s.p.image.data_end = 0x80;
  s.p.image[0x40] ^= 0xFF;
  s.host.AnswerNext({true});
  app::DefaultVerify(s.p);
  EXPECT_EQ(s.host.LastMessage().first.substr(0, 20), " Error at 0x000040  ");
}

TEST_F(DefaultRoutinesTest, VerifyRunsToDataEndInclusiveAndLeavesItAlone) {
  Setup(0x800);
  LoadImageFromChip();
  // One byte past the loaded data is compared too.
  s.p.image.data_end = 0x100;
  s.p.image[0x100] = static_cast<uint8_t>(~contents[0x100]);
  app::DefaultVerify(s.p);
  EXPECT_EQ(s.host.LastMessage().first.substr(0, 20), " Error at 0x000100  ");
  EXPECT_EQ(s.p.image.data_end, 0x100u);

  // Data longer than the device: compared up to the device end, kept as is.
  s.p.image[0x100] = contents[0x100];
  s.p.image.data_end = 0x4000;
  s.p.verify_after_program = 0;
  app::DefaultVerify(s.p);
  EXPECT_EQ(s.host.LastMessage(), Msg("Device Verify OK", 2));
  EXPECT_EQ(s.p.image.data_end, 0x4000u) << "a verify on a small device must not cut the data";
  const auto gauges = s.host.Of(HostEvent::Type::kShowGauge);
  EXPECT_EQ(gauges.back().value, 0x7FE);
  EXPECT_EQ(gauges.back().text, "Verifying chip");
}

// --- blank check -------------------------------------------------------------------

TEST_F(DefaultRoutinesTest, BlankCheck) {
  Setup(0x800);
  rom->SetContents({});
  app::DefaultBlankCheck(s.p);
  EXPECT_EQ(s.host.LastMessage(), Msg("Device is Empty", 2));
  EXPECT_EQ(s.host.Of(HostEvent::Type::kShowGauge).at(0).colour, app::colour::kWhite);

  auto cells = rom->Contents();
  cells[0x1A0] = 0x7F;
  rom->SetContents(cells);
  s.p.image.buffer_offset = 0x100;  // not applied: the whole chip is checked
  app::DefaultBlankCheck(s.p);
  EXPECT_EQ(s.host.LastMessage(), Msg("Device is NOT Empty ($0001a0)", 1));
}

// --- timing, progress and Cancel ---------------------------------------------------

// The strobe is the time between raising and dropping the drive line.
std::vector<int64_t> StrobeWidths(const std::vector<sim::TraceEntry>& trace) {
  std::vector<int64_t> widths;
  int64_t raised = -1;
  for (const auto& e : trace) {
    if (!e.write || e.port != 0x37A) continue;
    const bool drive = (e.value & 0x02) != 0;
    if (drive && raised < 0) raised = e.time_ns;
    if (!drive && raised >= 0) {
      widths.push_back(e.time_ns - raised);
      raised = -1;
    }
  }
  return widths;
}

TEST_F(DefaultRoutinesTest, A64KDeviceReadsSlowAndVerifiesFast) {
  Setup(0x10000);
  s.board->SetAccessCost(0);
  s.board->EnableTrace(true);
  app::DefaultRead(s.p);
  auto widths = StrobeWidths(s.board->trace());
  ASSERT_GE(widths.size(), 0x10000u);
  for (int64_t w : widths) ASSERT_NEAR(w, 500, 1);

  s.board->ClearTrace();
  app::DefaultVerify(s.p);
  widths = StrobeWidths(s.board->trace());
  ASSERT_GE(widths.size(), 0x10000u);
  for (int64_t w : widths) ASSERT_NEAR(w, 100, 1);
  EXPECT_EQ(s.p.error, 0);
}

TEST_F(DefaultRoutinesTest, CancelledReadLeavesTheRestBlank) {
  Setup(0x8000);
  s.host.CancelAtRefresh(s.p, 3);
  app::DefaultRead(s.p);
  EXPECT_EQ(s.host.LastMessage(), Msg("program interrupted!", 1));
  EXPECT_EQ(s.p.error, 1);
  EXPECT_EQ(s.p.image.data_end, 0u);
  EXPECT_EQ(s.host.caption, kPrefix);
  const int64_t stopped = s.host.Of(HostEvent::Type::kProgress).back().value;
  EXPECT_EQ(s.p.image[static_cast<uint32_t>(stopped)], contents[stopped]);
  for (uint32_t i = static_cast<uint32_t>(stopped) + 1; i < 0x8000; ++i) {
    ASSERT_EQ(s.p.image[i], 0xFF) << i;
  }
}

TEST_F(DefaultRoutinesTest, CancelledVerifyNeverPasses) {
  Setup(0x8000);
  LoadImageFromChip();
  s.host.CancelAtRefresh(s.p, 2);
  app::DefaultVerify(s.p);
  EXPECT_FALSE(s.host.HasMessage("Device Verify OK"));
  EXPECT_EQ(s.host.LastMessage(), Msg("program interrupted!", 1));
  EXPECT_EQ(s.p.error, 1);
}

TEST_F(DefaultRoutinesTest, CancelledBlankCheck) {
  Setup(0x8000);
  rom->SetContents({});
  s.host.CancelAtRefresh(s.p, 4);
  app::DefaultBlankCheck(s.p);
  EXPECT_EQ(s.host.LastMessage(), Msg("Device Check was Cancelled", 1));
  EXPECT_FALSE(s.host.HasMessage("Device is Empty"));
  EXPECT_EQ(s.host.refreshes, 4);
}

TEST_F(DefaultRoutinesTest, AboutAThousandGaugeRefreshesPerAction) {
  Setup(0x20000);
  struct Run {
    const char* name;
    void (*routine)(app::Programmer&);
  };
  rom->SetContents({});
  s.p.image.data_end = 0x20000;
  std::fill_n(s.p.image.data(), 0x20000, 0xFF);
  for (const Run& run : {Run{"read", app::DefaultRead}, Run{"verify", app::DefaultVerify},
                         Run{"blank", app::DefaultBlankCheck}}) {
    s.host.Clear();
    s.p.InitProgressStep(0x20000);
    run.routine(s.p);
    EXPECT_LE(s.host.refreshes, 1000) << run.name;
    EXPECT_GE(s.host.refreshes, 900) << run.name;
  }
}

TEST(ProgressStep, StepsAndTheUnitsThatMoveTheGauge) {
  daraz_test::RecordingHost host;
  app::Programmer p(host);
  p.InitProgressStep(1000);
  EXPECT_EQ(p.progress_step, 1);
  p.InitProgressStep(1001);
  EXPECT_EQ(p.progress_step, 1);
  p.InitProgressStep(5000);
  EXPECT_EQ(p.progress_step, 5);
  std::vector<int64_t> moved;
  for (int unit = 1; unit <= 18; ++unit) {
    p.ProgressTick(unit);
  }
  for (const auto& e : host.Of(HostEvent::Type::kProgress)) moved.push_back(e.value);
  EXPECT_EQ(moved, (std::vector<int64_t>{6, 12, 18}));
}

// --- the shared loop helpers --------------------------------------------------------

TEST(DataSpan, ClipsACopyOfDataEnd) {
  image::MemoryImage img;
  EXPECT_TRUE(app::ClipDataEnd(img).empty) << "no device, nothing to visit";
  EXPECT_EQ(app::ClipDataEnd(img).count(), 0u);
  img.device_size = 0x800;
  img.data_end = 0x100;
  EXPECT_EQ(app::ClipDataEnd(img).last, 0x100u);
  EXPECT_EQ(app::ClipDataEnd(img).count(), 0x101u);
  img.data_end = 0x800;
  EXPECT_EQ(app::ClipDataEnd(img).last, 0x7FFu);
  img.data_end = 0;
  EXPECT_EQ(app::ClipDataEnd(img).count(), 1u);
  img.device_size = 0x4000000;  // larger than the image
  img.data_end = 0x4000000;
  EXPECT_EQ(app::ClipDataEnd(img).last, image::kImageSize - 1);
  EXPECT_EQ(img.data_end, 0x4000000u);
}

TEST(DataSpan, LoopStopsOnRequestAndOnCancel) {
  daraz_test::RecordingHost host;
  app::Programmer p(host);
  app::DataSpan span;
  span.empty = false;
  span.last = 9;
  std::vector<uint32_t> seen;
  p.InitProgressStep(10);
  EXPECT_EQ(app::ForEachDataIndex(p, span,
                                  [&](uint32_t i) {
                                    seen.push_back(i);
                                    return true;
                                  }),
            app::LoopEnd::kDone);
  EXPECT_EQ(seen.size(), 10u);
  EXPECT_EQ(seen.back(), 9u);
  EXPECT_EQ(app::ForEachDataIndex(p, span, [](uint32_t i) { return i < 3; }),
            app::LoopEnd::kStopped);
  p.InitProgressStep(10);
  host.CancelAtRefresh(p, 2);
  seen.clear();
  EXPECT_EQ(app::ForEachDataIndex(p, span,
                                  [&](uint32_t i) {
                                    seen.push_back(i);
                                    return true;
                                  }),
            app::LoopEnd::kCancelled);
  EXPECT_EQ(seen.size(), 4u) << "step 1: every second unit refreshes; Cancel at the second";
}

// --- through the menu, on the built-in table ----------------------------------------

TEST_F(DefaultRoutinesTest, ReadVerifyAndBlankFromTheMenu) {
  Setup(0x4000);
  app::mnuReadClick(s.p);
  EXPECT_TRUE(s.host.HasMessage("Chip read OK", 0));
  EXPECT_EQ(s.p.image.data_end, 0x4000u);
  s.host.Clear();
  app::mnuVerifyClick(s.p);
  EXPECT_EQ(s.host.LastMessage(), Msg("Device Verify OK", 2));
  s.host.Clear();
  app::mnuBlankClick(s.p);
  EXPECT_EQ(s.host.LastMessage().first.substr(0, 20), "Device is NOT Empty ");
  EXPECT_FALSE(s.host.gauge_visible);
}

}  // namespace
