// What the part sees while each program algorithm runs: socket power, Vpp,
// every program pulse and every read, as the model measured them, one line
// per event with the time since the previous event ended (a pulse ends
// after its width). The numbers are worked out from the algorithms' step
// lists: DelayTicks(n) waits floor(n x 838.1) ns, Delay100ns(n) n x 100 ns,
// every port access takes 1 us, and a pulse lasts from the write that starts
// it to the write that ends it.
//
// Each run programs two bytes, 0x00 into a cell that one first pulse cannot
// program (so the retry, or pass 2, really runs) and 0x5A into an ordinary
// one, then the final verify reads both.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "families/parallel/m87c256.h"
#include "families/parallel/uv_eprom.h"
#include "uv_eprom_fixture.h"

namespace {

using app::HandlerId;
using daraz_test::EpromSession;
using daraz_test::kDataSetup;
using daraz_test::Kinds;
using daraz_test::kMarginal;
using daraz_test::kOverStress;
using daraz_test::kShortPulse;
namespace uv = families::uv_eprom;

// Starts recording what the part sees; Timeline() then lists it.
struct Recording {
  explicit Recording(EpromSession& s)
      : ctrl(s.board->pins().ctrl), data(s.board->pins().data), start(s.board->clock().now_ns()) {
    s.chip->RecordEvents(true);
    s.board->EnableTrace(true);
  }
  uint8_t ctrl, data;
  int64_t start;
};

// The events from the start of the recording in time order, each as
// "+<ns since the previous one ended> <what>": Vcc+/Vcc- (socket power),
// Vpp+/Vpp- (the model's Vpp edges), "P<width>@<address>" (the model's
// pulses), R (a read: the read path loading the bus from the part), and
// "end", the routine's return.
std::vector<std::string> Timeline(const EpromSession& s, const Recording& from) {
  uint8_t ctrl = from.ctrl;
  uint8_t data = from.data;
  struct Event {
    int64_t at;
    int order;  // at the same instant: power on first, power off last
    std::string what;
    int64_t width;
  };
  std::vector<Event> events;
  const uint16_t base = s.board->base();
  for (const sim::TraceEntry& e : s.board->trace()) {
    if (!e.write) continue;
    if (e.port == base + 2) {
      if ((e.value ^ ctrl) & 0x04) {
        const bool on = (e.value & 0x04) != 0;
        events.push_back({e.time_ns, on ? 0 : 3, on ? "Vcc+" : "Vcc-", 0});
      }
      ctrl = e.value;
    } else if (e.port == base) {
      const bool load = (data & 0x04) && !(e.value & 0x04) && (e.value & 0x02);
      if (load && !(ctrl & 0x02)) events.push_back({e.time_ns, 2, "R", 0});
      data = e.value;
    }
  }
  for (const auto& v : s.chip->vpp_log()) {
    events.push_back({v.time_ns, 1, v.on ? "Vpp+" : "Vpp-", 0});
  }
  for (const auto& p : s.chip->pulse_log()) {
    events.push_back({p.start_ns, 2,
                      "P" + std::to_string(p.width_ns) + "@" + std::to_string(p.address),
                      p.width_ns});
  }
  std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
    return std::tie(a.at, a.order) < std::tie(b.at, b.order);
  });
  events.push_back({s.board->clock().now_ns(), 4, "end", 0});
  std::vector<std::string> lines;
  int64_t end = from.start;
  for (const Event& e : events) {
    lines.push_back("+" + std::to_string(e.at - end) + " " + e.what);
    end = e.at + e.width;
  }
  return lines;
}

// The expected timeline as written in the tables: one event a line, notes
// after "//" and blank lines dropped.
std::vector<std::string> Lines(const char* text) {
  std::vector<std::string> lines;
  std::string line;
  for (const char* c = text;; ++c) {
    if (*c != '\n' && *c != '\0') {
      line += *c;
      continue;
    }
    line = line.substr(0, line.find("//"));
    line.erase(line.find_last_not_of(' ') + 1);
    if (!line.empty()) lines.push_back(line);
    line.clear();
    if (*c == '\0') break;
  }
  return lines;
}

struct VariantCase {
  const char* name;
  HandlerId handler;
  int tag;
  void (*routine)(app::Programmer&);
  int weak;              // nominal pulses the cell at address 0 needs
  uint32_t resize;       // a size the catalogue does not have (0: the part's own)
  const char* timeline;  // one event a line; "//" starts a note
  Kinds violations;
};

// Shared stretches, in ns:
//   PowerUp from rest: Vcc+, then 3 x DelayTicks(20000) = 50286000.
//   PowerUp while powered (the final verify): Vcc- on its 20th write, Vcc+
//     one write and DelayTicks(1000) later: 838100 + 2000 = 840100.
//   The final verify, two bytes: ApplyReadLevel, DelayTicks(8) without the
//     read level flag, ShiftAddress(0xFFFFF) (20 writes), ShiftAddress(0)
//     (18), the strobe (2 writes, 2 x Delay100ns(w)), the read path's load
//     on its 2nd write: 50286000 + [6704] + 2w00 + 43000 after Vcc+; the
//     rest of the read (17), ShiftAddress(1) (19) and the strobe to the next
//     load: 40000 + 2w00; then 17 + PowerDown's 21 writes to Vcc-: 38000.
// clang-format off
const VariantCase kVariants[] = {
    // 27C256, CE/PGM: ProgramPulse(140) = 117334 + 1000 ns, the retry
    // ProgramPulse(190) = 159239 + 1000 and DelayTicks(30) after it. Vpp on
    // before each attempt, off after the wait, the read 200 ticks later.
    {"C 27C256", HandlerId::M27C_Click, 204, uv::ProgramDispatch, 2, 0,
     R"(
+860100 Vcc+        // PowerUp: 22 writes, DelayTicks(1000)
+50307000 Vpp+      // 3 x 20000 ticks; program line, ShiftAddress (19), Vpp

+1040291 P118334@0  // 1000 + 200 + 5 + 10 ticks, 22 writes; ProgramPulse(140)
+17762 Vpp-         // DelayTicks(20) + 1 write
+189382 R           // 200 + 10 + 10 ticks, 5 writes: CE active, the load
+27381 Vpp+         // the rest of the read (17), CE off, 10 ticks, Vpp on
+201191 P160239@0   // 200 + 5 + 10 ticks, 21 writes; ProgramPulse(190)
+26143 Vpp-         // DelayTicks(30) + 1 write
+189382 R
+27381 Vpp+         // the next byte starts over at tWP and tWC
+202191 P118334@1   // ShiftAddress(1) is one write longer
+17762 Vpp-
+189382 R
+885481 Vcc-        // 17 + 1 writes, 10 ticks, 1 write, 1000 ticks, PowerUp's 20 writes
+840100 Vcc+        // PowerUp again: 1 write, 1000 ticks, 1 write
+50336704 R         // the verify: w = 5, with DelayTicks(8)
+41000 R
+38000 Vcc-
+16787000 end       // the verify's PowerDown, then the routine's own
)",
     {kOverStress}},
    // 27C16 (variant A): 2 x DelayTicks(25000) + 1 write = 41906000 ns,
    // short of the 45 ms its cells need, so each byte takes two pulses of the
    // same width. Vpp off 25 + 10 ticks after the pulse, the read 300 later.
    {"A 27C16", HandlerId::M27C_Click, 215, uv::ProgramDispatch, 1, 0,
     R"(
+860100 Vcc+
+50288000 Vpp+        // program line, Vpp: 2 writes
+1180977 P41906000@0  // 1000 + 50 + 299 + 10 ticks, 19 + 1 + 1 + 18 + 2 + 1 writes
+31333 Vpp-           // 25 + 10 ticks, 2 writes
+271192 R             // 300 + 20 ticks, 3 writes
+60905 Vpp+           // 17 + 1 writes, 50 ticks, 1 write
+279972 P41906000@0   // 299 + 10 ticks, 21 writes: the same width again
+31333 Vpp-
+271192 R
+60905 Vpp+
+280972 P41906000@1
+31333 Vpp-
+271192 R
+60905 Vpp+
+280972 P41906000@1
+31333 Vpp-
+271192 R
+876100 Vcc-          // 17 + 1 writes, 1000 ticks, 20 writes
+840100 Vcc+
+50336704 R           // w = 5, with DelayTicks(8)
+41000 R
+38000 Vcc-
+16787000 end
)",
     {kShortPulse}},
    // The NMOS 2716 through the generic routine: as A, the read 400 ticks
    // after Vpp goes off.
    {"generic 2716", HandlerId::M27_Click, 101, uv::ProgramGeneric, 1, 0,
     R"(
+860100 Vcc+
+50288000 Vpp+
+1180977 P41906000@0
+31333 Vpp-
+355002 R             // 400 + 20 ticks, 3 writes
+60905 Vpp+
+279972 P41906000@0
+31333 Vpp-
+355002 R
+60905 Vpp+
+280972 P41906000@1
+31333 Vpp-
+355002 R
+60905 Vpp+
+280972 P41906000@1
+31333 Vpp-
+355002 R
+876100 Vcc-
+840100 Vcc+
+50336704 R
+41000 R
+38000 Vcc-
+16787000 end
)",
     {kShortPulse}},
    // NMOS 27512, OE/Vpp: ProgramPulse(1200) = 1005720 + 1000, the retry
    // ProgramPulse(1400) = 1173340 + 1000 (past 1.05 ms), waits 50 and 60;
    // Vpp off 400 ticks before every read; no 3X pulse.
    {"generic 27512", HandlerId::M27_Click, 106, uv::ProgramGeneric, 2, 0,
     R"(
+860100 Vcc+
+50288000 Vpp+
+979672 P1006720@0  // 1000 + 100 + 10 + 10 ticks, 19 + 1 + 18 + 3 writes; ProgramPulse(1200)
+42905 Vpp-         // DelayTicks(50) + 1 write: Vpp off before the read
+365383 R           // 400 + 10 + 10 + 10 ticks, 5 writes
+35762 Vpp+         // 17 + 1 writes, 20 ticks, 1 write
+121572 P1174340@0  // 100 + 10 + 10 ticks, 21 writes; ProgramPulse(1400)
+51286 Vpp-         // DelayTicks(60) + 1 write
+365383 R
+35762 Vpp+
+122572 P1006720@1
+42905 Vpp-
+365383 R
+893862 Vcc-        // 17 + 1 writes, 20 + 1000 ticks, 1 + 20 writes
+840100 Vcc+
+50335904 R         // w = 1 at 64 KB
+40200 R
+38000 Vcc-
+16787000 end
)",
     {kOverStress, kMarginal}},
    // Family 0 at a size the dispatcher has no variant for: the generic
    // routine, here for a part with Vpp of its own (separate Vpp flag).
    {"generic fallback", HandlerId::M27C_Click, 204, uv::ProgramDispatch, 2, 48 * 1024,
     R"(
+860100 Vcc+
+50288000 Vpp+
+979672 P118334@0  // Vpp stays on: read in program verify
+46905 R           // 20 + 10 + 10 + 10 ticks, 5 writes
+157334 P160239@0  // 20 + 100 + 10 + 10 ticks, 40 writes
+55286 R           // 30 + 10 + 10 + 10 ticks, 5 writes
+158334 P118334@1
+46905 R
+35762 Vpp-        // 17 + 1 writes, 20 ticks, 1 write
+858100 Vcc-       // 1000 ticks, 20 writes
+840100 Vcc+
+50336704 R
+41000 R
+38000 Vcc-
+16787000 end
)",
     {kOverStress}},
    // 27C64, PGM pin: Vpp on from the prologue to the end.
    {"B 27C64", HandlerId::M27C_Click, 202, uv::ProgramDispatch, 2, 0,
     R"(
+860100 Vcc+
+50307000 Vpp+
+867480 P118334@0  // 1000 + 5 + 5 ticks, 21 writes
+24952 R           // 20 + 5 ticks, 4 writes: read at Vpp
+46380 P160239@0   // 5 + 5 ticks, 38 writes
+33333 R           // 30 + 5 ticks, 4 writes
+47380 P118334@1
+24952 R
+18000 Vpp-        // 17 + 1 writes
+858100 Vcc-
+840100 Vcc+
+50330000 R        // read level flag: no DelayTicks(8)
+41000 R
+38000 Vcc-
+16787000 end
)",
     {kOverStress}},
    // 27C010, PGM pin.
    {"D 27C010", HandlerId::M27C_Click, 206, uv::ProgramDispatch, 2, 0,
     R"(
+860100 Vcc+
+50308000 Vpp+     // ShiftAddress(0xFFFFF) is 20 writes
+860776 P118334@0  // 1000 + 2 ticks, 21 writes: the data 1 write before the pulse
+22438 R           // 20 + 2 ticks, 4 writes
+39676 P160239@0   // 2 ticks, 38 writes
+30819 R           // 30 + 2 ticks, 4 writes
+40676 P118334@1
+22438 R
+18000 Vpp-
+858100 Vcc-
+840100 Vcc+
+50329200 R        // w = 1 at 128 KB
+40200 R
+38000 Vcc-
+16787000 end
)",
     {kDataSetup, kOverStress}},
    // 27C040, CE/PGM: Vpp on for each attempt, off 20 ticks before the read.
    {"E 27C040", HandlerId::M27C_Click, 208, uv::ProgramDispatch, 2, 0,
     R"(
+860100 Vcc+
+50307000 Vpp+
+860938 P118334@0  // 1000 + 1 ticks, 22 writes
+17762 Vpp-
+24276 R           // 20 + 2 + 1 ticks, 5 writes
+19000 Vpp+        // 17 + 1 + 1 writes
+21838 P160239@0   // 1 tick, 21 writes
+26143 Vpp-
+24276 R
+19000 Vpp+
+22838 P118334@1
+17762 Vpp-
+24276 R
+877100 Vcc-       // 17 + 1 + 1 writes, 1000 ticks, 20 writes
+840100 Vcc+
+50335904 R
+40200 R
+38000 Vcc-
+16787000 end
)",
     {kDataSetup, kOverStress}},
    // 27C160 on the adapter, Vpp on throughout. Its cells take 45 us, so
    // the weak one needs three.
    {"F 27C160", HandlerId::M27C_Click, 403, uv::ProgramDispatch, 3, 0,
     R"(
+860100 Vcc+
+50307000 Vpp+
+859400 P118334@0  // 1000 ticks, 100 + 200 ns, 21 writes
+20962 R           // 20 ticks, 200 ns, 4 writes
+38300 P160239@0   // 300 ns, 38 writes
+29343 R           // 30 ticks, 200 ns, 4 writes
+39300 P118334@1
+20962 R
+18000 Vpp-
+858100 Vcc-
+840100 Vcc+
+50335904 R
+40200 R
+38000 Vcc-
+16787000 end
)",
     {kDataSetup, kOverStress}},
    // 27C512, OE/Vpp, two passes: pass 1 pulses tWP + 50 = 190 ticks, waits
    // tWC + 50, Vpp on throughout. Pass 2 reads every byte with Vpp off and
    // gives the weak one a 200-tick pulse under Vpp of its own.
    {"K 27C512", HandlerId::M27C_Click, 205, uv::ProgramDispatch, 2, 0,
     R"(
+860100 Vcc+
+50288000 Vpp+
+894862 P160239@0  // 1000 + 10 + 10 ticks, 19 + 18 + 3 writes; tWP + 50
+97429 P160239@1   // tWC + 50 + 10 + 10 ticks, 19 + 3 writes
+59667 Vpp-        // 70 ticks, 1 write: Vpp off for pass 2
+858100 Vcc-       // 1000 ticks, PowerUp's 20 writes
+840100 Vcc+
+51169290 R        // 3 x 20000 + 1000 + 5 ticks, 1 + 19 + 18 + 1 + 2 writes
+48056 Vpp+        // 2 + 5 + 5 ticks, 17 + 1 + 1 + 18 + 1 writes
+342430 P168620@0  // 400 + 5 ticks, 3 writes; DelayTicks(200) + 1 write
+42905 Vpp-        // 50 ticks, 1 write
+692242 R          // 800 + 10 + 10 ticks, 5 writes
+44190 R           // 5 ticks, 17 + 1 + 19 + 1 + 2 writes
+878776 Vcc-       // 2 + 1000 ticks, 17 + 1 + 1 + 20 writes
+840100 Vcc+
+50335904 R
+40200 R
+38000 Vcc-
+16787000 end
)",
     {kOverStress}},
    // 27C080, OE/Vpp, two passes with L's waits: pass 1 pulses tWP, 1 tick
    // from drive to data and none from data to pulse; pass 2's pulse is 150
    // ticks, the read 8 ticks after CE.
    {"L 27C080", HandlerId::M27C_Click, 209, uv::ProgramDispatch, 3, 0,
     R"(
+860100 Vcc+
+50288000 Vpp+
+878938 P118334@0  // 1000 + 1 ticks, 19 + 18 + 3 writes; tWP
+39600 P118334@1   // 20 + 1 ticks, 19 + 3 writes
+17762 Vpp-        // Vpp off for pass 2
+858100 Vcc-
+840100 Vcc+
+51169290 R
+43866 Vpp+        // 2 + 1 + 4 ticks, 38 writes
+342430 P126715@0  // DelayTicks(150) + 1 write
+42905 Vpp-
+682184 R          // 800 + 8 ticks, 5 writes
+44190 R
+878776 Vcc-
+840100 Vcc+
+50335904 R
+40200 R
+38000 Vcc-
+16787000 end
)",
     {kDataSetup, kOverStress}},
    // M87C256: AS/Vpp at Vpp for the program run and again for Verify33.
    {"Program33 M87C256", HandlerId::M27C_Click, 501, uv::Program33, 2, 0,
     R"(
+860100 Vcc+
+50288000 Vpp+
+875862 P118334@0  // 1000 + 10 + 10 ticks, 18 + 3 writes
+54286 R           // 20 + 10 + 30 ticks, 4 writes: read at Vpp
+80905 P160239@0   // 30 + 10 + 10 ticks, 39 writes
+62667 R           // 30 + 10 + 30 ticks, 4 writes
+81905 P118334@1
+54286 R
+44143 Vpp-        // 17 + 1 writes, 30 ticks, 1 write
+858100 Vcc-
+840100 Vcc+
+50371810 Vpp+     // Verify33: 3 x 20000 + 100 ticks, 2 writes
+886481 R          // 1000 + 10 ticks, 19 + 18 + 1 + 2 writes
+56762 R           // 10 + 10 ticks, 17 + 1 + 19 + 1 + 2 writes
+27381 Vpp-        // 10 ticks, 17 + 1 + 1 writes
+859100 Vcc-       // 1000 ticks, PowerDown's 21 writes
+16787000 end
)",
     {kOverStress}},
};
// clang-format on

class ProgramVariant : public ::testing::TestWithParam<VariantCase> {};

TEST_P(ProgramVariant, DrivesThePartAsItsStepsSay) {
  const VariantCase& c = GetParam();
  EpromSession s;
  s.Select(c.handler, c.tag);
  if (c.resize != 0) s.p.SetBufferSize(c.resize);
  s.Load({0x00, 0x5A});
  s.p.image.data_end = 1;  // the pass covers indices 0 and 1
  ASSERT_TRUE(s.chip->InjectFault({"weak", 0, c.weak, 0}));
  const Recording rec(s);
  s.Run(c.routine);

  EXPECT_TRUE(s.host.HasMessage("Device Programmed OK", 2)) << s.Last();
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  EXPECT_EQ(s.chip->Cell(0), 0x00);
  EXPECT_EQ(s.chip->Cell(1), 0x5A);
  EXPECT_EQ(Timeline(s, rec), Lines(c.timeline));
  EXPECT_EQ(s.Violations(), c.violations);
}

// The read routines on a part cut to two bytes: power, every read, and the
// return. Read: DelayTicks(200) before PowerUp; per byte ShiftAddress, the
// read level (DelayTicks(1) without the flag), the 500 ns strobe, the read,
// CE off. Read33: DelayTicks(1000) first, AS/Vpp at Vpp, per byte
// ShiftAddress, 10 ticks, OE low, 5 ticks, the read, OE high, 10 ticks.
struct ReadCase {
  const char* name;
  int tag;
  void (*routine)(app::Programmer&);
  const char* timeline;
};

// clang-format off
const ReadCase kReads[] = {
    {"Read 27C256", 204, uv::Read, R"(
+1027720 Vcc+     // 200 + 1000 ticks, PowerUp's 22 writes
+50330838 R       // 3 x 20000 + 1 ticks, 1 + 19 + 18 + 1 + 1 + 1 + 2 writes, 1000 ns
+43838 R          // 1 tick, 17 + 1 + 19 + 1 + 1 + 1 + 2 writes, 1000 ns
+39000 Vcc-       // 17 + 1 writes, PowerDown's 21
+8384000 end      // PowerDown's last 2 writes and 10000 ticks, one more control write
)"},
    {"Read 27C64", 202, uv::Read, R"(
+1027720 Vcc+
+50330000 R       // the read level flag: no DelayTicks(1)
+43000 R
+39000 Vcc-
+8384000 end
)"},
    {"Read33 M87C256", 501, uv::Read33, R"(
+1698200 Vcc+     // 1000 + 1000 ticks, 22 writes
+50288000 Vpp+    // program line, AS/Vpp: 2 writes
+890671 R         // 1000 + 10 + 5 ticks, 19 + 18 + 1 + 2 writes
+60952 R          // 10 + 10 + 5 ticks, 17 + 1 + 19 + 1 + 2 writes
+27381 Vpp-       // 10 ticks, 17 + 1 + 1 writes
+859100 Vcc-      // 1000 ticks, PowerDown's 21 writes
+8383000 end
)"},
};
// clang-format on

TEST(UvEpromReadTimeline, ReadsEachByteAsItsStepsSay) {
  for (const ReadCase& c : kReads) {
    SCOPED_TRACE(c.name);
    EpromSession s;
    s.Select27C(c.tag);
    s.chip->SetContents({0xA5, 0x3C});
    s.p.SetBufferSize(2);
    const Recording rec(s);
    s.Run(c.routine);
    EXPECT_EQ(s.Last(), "Chip read OK");
    EXPECT_EQ(s.host.caption, "Tavrin Daraz RevSa(0.98V11)- EPROM Image");
    EXPECT_EQ(s.p.image[0], 0xA5);
    EXPECT_EQ(s.p.image[1], 0x3C);
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
    EXPECT_EQ(Timeline(s, rec), Lines(c.timeline));
    EXPECT_EQ(s.Violations(), Kinds{});
  }
}

INSTANTIATE_TEST_SUITE_P(UvEprom, ProgramVariant, ::testing::ValuesIn(kVariants),
                         [](const auto& info) {
                           std::string name = info.param.name;
                           std::replace(name.begin(), name.end(), ' ', '_');
                           return name;
                         });

}  // namespace
