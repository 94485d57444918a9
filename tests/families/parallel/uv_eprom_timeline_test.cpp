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

// The events in time order, each as "+<ns since the previous one ended>
// <what>": Vcc+/Vcc- (socket power), Vpp+/Vpp- (the model's Vpp edges),
// "P<width>@<address>" (the model's pulses) and R (a read: the read path
// loading the bus from the part). The first event has no time.
std::vector<std::string> Timeline(const EpromSession& s, uint8_t ctrl, uint8_t data) {
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
  std::vector<std::string> lines;
  int64_t end = 0;
  for (const Event& e : events) {
    lines.push_back(lines.empty() ? e.what : "+" + std::to_string(e.at - end) + " " + e.what);
    end = e.at + e.width;
  }
  return lines;
}

struct VariantCase {
  const char* name;
  HandlerId handler;
  int tag;
  void (*routine)(app::Programmer&);
  int weak;         // nominal pulses the cell at address 0 needs
  uint32_t resize;  // a size the catalogue does not have (0: the part's own)
  std::vector<std::string> timeline;
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
const VariantCase kVariants[] = {
    // Pulse: ProgramPulse(140) = 117334 + 1000; the retry ProgramPulse(190)
    // = 159239 + 1000, then DelayTicks(30) instead of 20. Vpp on before each
    // attempt, off DelayTicks(wait) + 1 write after the pulse, read 200 ticks
    // later with CE active.
    {"C 27C256",
     HandlerId::M27C_Click,
     204,
     uv::ProgramDispatch,
     2,
     0,
     {
         "Vcc+",
         "+50307000 Vpp+",      // program line, ShiftAddress(0x0FFFFFFF), Vpp: 21 writes
         "+1040291 P118334@0",  // 1000 + 200 + 5 + 10 ticks, 22 writes
         "+17762 Vpp-",         // DelayTicks(20) + 1 write
         "+189382 R",           // 200 + 10 + 10 ticks, 5 writes
         "+27381 Vpp+",         // 17 + 1 writes, 10 ticks, 1 write
         "+201191 P160239@0",   // 200 + 5 + 10 ticks, 21 writes
         "+26143 Vpp-",         // DelayTicks(30) + 1 write
         "+189382 R",           //
         "+27381 Vpp+",         // the next byte starts over at tWP and tWC
         "+202191 P118334@1",   // ShiftAddress(1) is one write longer
         "+17762 Vpp-",         //
         "+189382 R",           //
         "+885481 Vcc-",        // 17 + 1 writes, 10 ticks, 1 write, 1000 ticks, 20 writes
         "+840100 Vcc+",        //
         "+50336704 R",         // w = 5, with DelayTicks(8)
         "+41000 R",            //
         "+38000 Vcc-",         //
     },
     {kOverStress}},
    // 2 x DelayTicks(25000) + 1 write: 41906000, under the 45 ms a 27C16
    // cell needs, so every byte takes two pulses of the same width. Vpp on
    // 50 ticks after each attempt starts, off 25 + 10 ticks and 2 writes
    // after the pulse, the read 300 ticks later.
    {"A 27C16",
     HandlerId::M27C_Click,
     215,
     uv::ProgramDispatch,
     1,
     0,
     {
         "Vcc+",
         "+50288000 Vpp+",        // program line, Vpp: 2 writes
         "+1180977 P41906000@0",  // 1000 + 50 + 299 + 10 ticks, 19 + 1 + 1 + 18 + 2 + 1 writes
         "+31333 Vpp-",           // 25 + 10 ticks, 2 writes
         "+271192 R",             // 300 + 20 ticks, 3 writes
         "+60905 Vpp+",           // 17 + 1 writes, 50 ticks, 1 write
         "+279972 P41906000@0",   // 299 + 10 ticks, 21 writes
         "+31333 Vpp-",           //
         "+271192 R",             //
         "+60905 Vpp+",           //
         "+280972 P41906000@1",   //
         "+31333 Vpp-",           //
         "+271192 R",             //
         "+60905 Vpp+",           //
         "+280972 P41906000@1",   //
         "+31333 Vpp-",           //
         "+271192 R",             //
         "+876100 Vcc-",          // 17 + 1 writes, 1000 ticks, 20 writes
         "+840100 Vcc+",          //
         "+50336704 R",           //
         "+41000 R",              //
         "+38000 Vcc-",           //
     },
     {kShortPulse}},
    // The NMOS 2716 through the generic routine: as A, read 400 ticks after
    // Vpp goes off.
    {"generic 2716",
     HandlerId::M27_Click,
     101,
     uv::ProgramGeneric,
     1,
     0,
     {
         "Vcc+",         "+50288000 Vpp+",      "+1180977 P41906000@0", "+31333 Vpp-",
         "+355002 R",  // 400 + 20 ticks, 3 writes
         "+60905 Vpp+",  "+279972 P41906000@0", "+31333 Vpp-",          "+355002 R",
         "+60905 Vpp+",  "+280972 P41906000@1", "+31333 Vpp-",          "+355002 R",
         "+60905 Vpp+",  "+280972 P41906000@1", "+31333 Vpp-",          "+355002 R",
         "+876100 Vcc-", "+840100 Vcc+",        "+50336704 R",          "+41000 R",
         "+38000 Vcc-",
     },
     {kShortPulse}},
    // NMOS 27512, OE/Vpp: ProgramPulse(1200) = 1005720 + 1000, the retry
    // ProgramPulse(1400) = 1173340 + 1000 (past the 1.05 ms limit), waits of
    // 50 and 60 ticks; Vpp off 400 ticks before each read. No 3X pulse.
    {"generic 27512",
     HandlerId::M27_Click,
     106,
     uv::ProgramGeneric,
     2,
     0,
     {
         "Vcc+", "+50288000 Vpp+",
         "+979672 P1006720@0",  // 1000 + 100 + 10 + 10 ticks, 19 + 1 + 18 + 3 writes
         "+42905 Vpp-",         // DelayTicks(50) + 1 write
         "+365383 R",           // 400 + 10 + 10 + 10 ticks, 5 writes
         "+35762 Vpp+",         // 17 + 1 writes, 20 ticks, 1 write
         "+121572 P1174340@0",  // 100 + 10 + 10 ticks, 21 writes
         "+51286 Vpp-",         // DelayTicks(60) + 1 write
         "+365383 R",           //
         "+35762 Vpp+",         //
         "+122572 P1006720@1",  //
         "+42905 Vpp-",         //
         "+365383 R",           //
         "+893862 Vcc-",        // 17 + 1 writes, 20 + 1000 ticks, 1 + 20 writes
         "+840100 Vcc+",        //
         "+50335904 R",         // w = 1 at 64 KB
         "+40200 R",            //
         "+38000 Vcc-",         //
     },
     {kOverStress, kMarginal}},
    // Family 0 at a size the dispatcher has no variant for: the generic
    // routine, here for a part with Vpp of its own, which stays on for the
    // read-back (program verify).
    {"generic fallback",
     HandlerId::M27C_Click,
     204,
     uv::ProgramDispatch,
     2,
     48 * 1024,
     {
         "Vcc+", "+50288000 Vpp+", "+979672 P118334@0",
         "+46905 R",           // 20 + 10 + 10 + 10 ticks, 5 writes
         "+157334 P160239@0",  // 20 + 100 + 10 + 10 ticks, 40 writes
         "+55286 R",           // 30 + 10 + 10 + 10 ticks, 5 writes
         "+158334 P118334@1",  //
         "+46905 R",           //
         "+35762 Vpp-",        // 17 + 1 writes, 20 ticks, 1 write
         "+858100 Vcc-",       // 1000 ticks, 20 writes
         "+840100 Vcc+",       //
         "+50336704 R",        //
         "+41000 R",           //
         "+38000 Vcc-",        //
     },
     {kOverStress}},
    // 27C64, PGM pin: Vpp on from the prologue to the end, read in program
    // verify.
    {"B 27C64",
     HandlerId::M27C_Click,
     202,
     uv::ProgramDispatch,
     2,
     0,
     {
         "Vcc+", "+50307000 Vpp+",
         "+867480 P118334@0",  // 1000 + 5 + 5 ticks, 21 writes
         "+24952 R",           // 20 + 5 ticks, 4 writes
         "+46380 P160239@0",   // 5 + 5 ticks, 38 writes
         "+33333 R",           // 30 + 5 ticks, 4 writes
         "+47380 P118334@1",   //
         "+24952 R",           //
         "+18000 Vpp-",        // 17 + 1 writes
         "+858100 Vcc-",       //
         "+840100 Vcc+",       //
         "+50330000 R",        // read level flag: no DelayTicks(8)
         "+41000 R",           //
         "+38000 Vcc-",        //
     },
     {kOverStress}},
    // 27C010, PGM pin: the data 1 write (1 us) before the pulse.
    {"D 27C010",
     HandlerId::M27C_Click,
     206,
     uv::ProgramDispatch,
     2,
     0,
     {
         "Vcc+",
         "+50308000 Vpp+",     // ShiftAddress(0xFFFFF) is 20 writes
         "+860776 P118334@0",  // 1000 + 2 ticks, 21 writes
         "+22438 R",           // 20 + 2 ticks, 4 writes
         "+39676 P160239@0",   // 2 ticks, 38 writes
         "+30819 R",           // 30 + 2 ticks, 4 writes
         "+40676 P118334@1",   //
         "+22438 R",           //
         "+18000 Vpp-",        //
         "+858100 Vcc-",       //
         "+840100 Vcc+",       //
         "+50329200 R",        //
         "+40200 R",           //
         "+38000 Vcc-",        //
     },
     {kDataSetup, kOverStress}},
    // 27C040, CE/PGM: Vpp on for each attempt, off 20 ticks before the read.
    {"E 27C040",
     HandlerId::M27C_Click,
     208,
     uv::ProgramDispatch,
     2,
     0,
     {
         "Vcc+", "+50307000 Vpp+",
         "+860938 P118334@0",  // 1000 + 1 ticks, 22 writes
         "+17762 Vpp-",        //
         "+24276 R",           // 20 + 2 + 1 ticks, 5 writes
         "+19000 Vpp+",        // 17 + 1 + 1 writes
         "+21838 P160239@0",   // 1 tick, 21 writes
         "+26143 Vpp-",        //
         "+24276 R",           //
         "+19000 Vpp+",        //
         "+22838 P118334@1",   //
         "+17762 Vpp-",        //
         "+24276 R",           //
         "+877100 Vcc-",       // 17 + 1 + 1 writes, 1000 ticks, 20 writes
         "+840100 Vcc+",       //
         "+50335904 R",        //
         "+40200 R",           //
         "+38000 Vcc-",        //
     },
     {kDataSetup, kOverStress}},
    // 27C160 on the adapter: 100 + 200 ns around the data, Vpp on throughout.
    // Its cells take 45 us, so the weak one needs three.
    {"F 27C160",
     HandlerId::M27C_Click,
     403,
     uv::ProgramDispatch,
     3,
     0,
     {
         "Vcc+", "+50307000 Vpp+",
         "+859400 P118334@0",  // 1000 ticks, 300 ns, 21 writes
         "+20962 R",           // 20 ticks, 200 ns, 4 writes
         "+38300 P160239@0",   // 300 ns, 38 writes
         "+29343 R",           // 30 ticks, 200 ns, 4 writes
         "+39300 P118334@1",   //
         "+20962 R",           //
         "+18000 Vpp-",        //
         "+858100 Vcc-",       //
         "+840100 Vcc+",       //
         "+50335904 R",        //
         "+40200 R",           //
         "+38000 Vcc-",        //
     },
     {kDataSetup, kOverStress}},
    // 27C512, OE/Vpp, two passes: pass 1 pulses tWP + 50 = 190 ticks and waits
    // tWC + 50 = 70 with Vpp on throughout; Vpp off for pass 2, which reads
    // every byte with Vpp off and gives the weak one ProgramPulse-like
    // 200 ticks under Vpp of its own.
    {"K 27C512",
     HandlerId::M27C_Click,
     205,
     uv::ProgramDispatch,
     2,
     0,
     {
         "Vcc+", "+50288000 Vpp+",
         "+894862 P160239@0",  // 1000 + 10 + 10 ticks, 19 + 18 + 3 writes
         "+97429 P160239@1",   // 70 + 10 + 10 ticks, 19 + 3 writes
         "+59667 Vpp-",        // 70 ticks, 1 write: Vpp off for pass 2
         "+858100 Vcc-",       // 1000 ticks, PowerUp's 20 writes
         "+840100 Vcc+",       //
         "+51169290 R",        // 3 x 20000 + 1000 + 5 ticks, 1 + 19 + 18 + 1 + 2 writes
         "+48056 Vpp+",        // 2 + 5 + 5 ticks, 17 + 1 + 1 + 18 + 1 writes
         "+342430 P168620@0",  // 400 + 5 ticks, 3 writes; DelayTicks(200) + 1 write
         "+42905 Vpp-",        // 50 ticks, 1 write
         "+692242 R",          // 800 + 10 + 10 ticks, 5 writes
         "+44190 R",           // 5 ticks, 17 + 1 + 19 + 1 + 2 writes
         "+878776 Vcc-",       // 2 + 1000 ticks, 17 + 1 + 1 + 20 writes
         "+840100 Vcc+",       //
         "+50335904 R",        //
         "+40200 R",           //
         "+38000 Vcc-",        //
     },
     {kOverStress}},
    // 27C080, OE/Vpp, two passes with L's waits: pass 1 pulses tWP, 1 tick
    // from drive to data and none from data to pulse; pass 2's pulse is 150
    // ticks, read 8 ticks after CE.
    {"L 27C080",
     HandlerId::M27C_Click,
     209,
     uv::ProgramDispatch,
     3,
     0,
     {
         "Vcc+", "+50288000 Vpp+",
         "+878938 P118334@0",  // 1000 + 1 ticks, 19 + 18 + 3 writes
         "+39600 P118334@1",   // 20 + 1 ticks, 19 + 3 writes
         "+17762 Vpp-",        // Vpp off for pass 2
         "+858100 Vcc-",       //
         "+840100 Vcc+",       //
         "+51169290 R",        //
         "+43866 Vpp+",        // 2 + 1 + 4 ticks, 38 writes
         "+342430 P126715@0",  //
         "+42905 Vpp-",        //
         "+682184 R",          // 800 + 8 ticks, 5 writes
         "+44190 R",           //
         "+878776 Vcc-",       //
         "+840100 Vcc+",       //
         "+50335904 R",        //
         "+40200 R",           //
         "+38000 Vcc-",        //
     },
     {kDataSetup, kOverStress}},
    // M87C256: AS/Vpp at Vpp for the whole program run and again for its own
    // verify, which reads with OE low for 10 ticks.
    {"Program33 M87C256",
     HandlerId::M27C_Click,
     501,
     uv::Program33,
     2,
     0,
     {
         "Vcc+", "+50288000 Vpp+",
         "+875862 P118334@0",  // 1000 + 10 + 10 ticks, 18 + 3 writes
         "+54286 R",           // 20 + 10 + 30 ticks, 4 writes
         "+80905 P160239@0",   // 30 + 10 + 10 ticks, 39 writes
         "+62667 R",           // 30 + 10 + 30 ticks, 4 writes
         "+81905 P118334@1",   //
         "+54286 R",           //
         "+44143 Vpp-",        // 17 + 1 writes, 30 ticks, 1 write
         "+858100 Vcc-",       //
         "+840100 Vcc+",       //
         "+50371810 Vpp+",     // 3 x 20000 + 100 ticks, 2 writes
         "+886481 R",          // 1000 + 10 ticks, 19 + 18 + 1 + 2 writes
         "+56762 R",           // 10 + 10 ticks, 17 + 1 + 19 + 1 + 2 writes
         "+27381 Vpp-",        // 10 ticks, 17 + 1 + 1 writes
         "+859100 Vcc-",       // 1000 ticks, PowerDown's 21 writes
     },
     {kOverStress}},
};

class ProgramVariant : public ::testing::TestWithParam<VariantCase> {};

TEST_P(ProgramVariant, DrivesThePartAsItsStepsSay) {
  const VariantCase& c = GetParam();
  EpromSession s;
  s.Select(c.handler, c.tag);
  if (c.resize != 0) s.p.SetBufferSize(c.resize);
  s.Load({0x00, 0x5A});
  s.p.image.data_end = 1;  // the pass covers indices 0 and 1
  ASSERT_TRUE(s.chip->InjectFault({"weak", 0, c.weak, 0}));
  s.chip->RecordEvents(true);
  s.board->EnableTrace(true);
  const uint8_t ctrl = s.board->pins().ctrl;
  const uint8_t data = s.board->pins().data;
  s.Run(c.routine);

  EXPECT_TRUE(s.host.HasMessage("Device Programmed OK", 2)) << s.Last();
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  EXPECT_EQ(s.chip->Cell(0), 0x00);
  EXPECT_EQ(s.chip->Cell(1), 0x5A);
  EXPECT_EQ(Timeline(s, ctrl, data), c.timeline);
  EXPECT_EQ(s.Violations(), c.violations);
}

INSTANTIATE_TEST_SUITE_P(UvEprom, ProgramVariant, ::testing::ValuesIn(kVariants),
                         [](const auto& info) {
                           std::string name = info.param.name;
                           std::replace(name.begin(), name.end(), ' ', '_');
                           return name;
                         });

}  // namespace
