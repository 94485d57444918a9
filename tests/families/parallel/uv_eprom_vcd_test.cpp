// The waveform a user would open in a viewer shows the pulses the part
// itself measured: a 27C256 programmed with a trace file attached, the file
// read back with an independent reader, and every program pulse (CE/PGM low
// while Vpp is on) compared with the model's own record.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "sim/trace.h"
#include "support/vcd_reader.h"
#include "uv_eprom_fixture.h"

namespace {

TEST(UvEpromWaveform, ProgramPulsesInTheVcdAreThoseTheModelMeasured) {
  daraz_test::EpromSession s;
  s.Select27C(204);  // 27C256: variant C, CE/PGM with its own Vpp
  s.chip->RecordEvents(true);
  const std::vector<uint8_t> data = s.LoadRandom(24);
  ASSERT_TRUE(s.chip->InjectFault({"weak", 5, 2, 0}));  // one widened retry

  const std::string path =
      (std::filesystem::temp_directory_path() / "daraz_27c256_program.vcd").string();
  std::string error;
  std::unique_ptr<sim::TraceSink> sink = sim::OpenTraceFile(path, &error);
  ASSERT_TRUE(sink) << error;
  s.board->SetTraceSink(sink.get());
  s.Program();
  s.board->SetTraceSink(nullptr);
  ASSERT_TRUE(sink->Finish(&error)) << error;
  EXPECT_TRUE(s.host.HasMessage("Device Programmed OK", 2)) << s.Last();
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);

  daraz_test::VcdFile vcd;
  ASSERT_TRUE(vcd.Load(path, &error)) << error;
  std::filesystem::remove(path);

  // CE/PGM low while Vpp is on: the program pulses. (The read-backs pull
  // CE low too, with Vpp off.)
  std::vector<daraz_test::VcdPulse> pulses;
  for (const daraz_test::VcdPulse& low : vcd.Pulses("pgm_n", '0')) {
    const auto vpp = vcd.ValueAt("vpp", low.start);
    if (vpp && vpp->value == "1") pulses.push_back(low);
  }
  const auto& measured = s.chip->pulse_log();
  // 25 bytes (data end inclusive), one of them twice.
  ASSERT_EQ(measured.size(), 26u);
  ASSERT_EQ(pulses.size(), measured.size());
  for (size_t i = 0; i < pulses.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(pulses[i].start, measured[i].start_ns);
    EXPECT_EQ(pulses[i].width(), measured[i].width_ns);
    const auto address = vcd.ValueAt("address", pulses[i].start);
    ASSERT_TRUE(address && address->Number());
    EXPECT_EQ(*address->Number(), measured[i].address);
  }
  // tWP 140 ticks: floor(140 x 838.1) + 1000 ns; the retry adds addStep 50.
  EXPECT_EQ(pulses[0].width(), 117334 + 1000);
  EXPECT_EQ(pulses[6].width(), 159239 + 1000);
}

}  // namespace
