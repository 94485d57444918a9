// Cost of the port-access path: the bus over a do-nothing port, the bus over
// the simulated board, a full standard read cycle, and the real clock's
// overshoot on a short busy-wait.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "hw/bus.h"
#include "sim/board.h"
#include "sim/ram_chip.h"

namespace {

class NullPort final : public hw::PortIo {
 public:
  void PortOut(uint16_t, uint8_t v) override { benchmark::DoNotOptimize(v); }
  uint8_t PortIn(uint16_t) override { return 0; }
};

void BM_BusOverNullPort(benchmark::State& state) {
  NullPort port;
  hw::SilentReporter r;
  hw::RealClock clock;
  hw::Bus bus(clock, r);
  bus.SetPort(&port);
  for (auto _ : state) {
    bus.SetData(0, true);
    bus.WriteData();
    bus.SetData(0, false);
    bus.WriteData();
  }
  state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_BusOverNullPort);

void BM_BusOverSimBoard(benchmark::State& state) {
  sim::Board board;
  board.InsertChip(std::make_unique<sim::RamChip>(1 << 16));
  hw::SilentReporter r;
  hw::Bus bus(board.clock(), r);
  bus.SetPort(&board);
  bus.PowerUp();
  uint32_t a = 0;
  for (auto _ : state) {
    bus.ShiftAddress(a++);  // 18..26 accesses
  }
  state.SetItemsProcessed(static_cast<int64_t>(board.accesses()));
}
BENCHMARK(BM_BusOverSimBoard);

void BM_StandardReadCycle(benchmark::State& state) {
  sim::Board board;
  board.InsertChip(std::make_unique<sim::RamChip>(1 << 16));
  hw::SilentReporter r;
  hw::Bus bus(board.clock(), r);
  bus.SetPort(&board);
  bus.PowerUp();
  uint32_t a = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(bus.ReadCycle(a++ & 0xFFFF, 1));
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["sim_us_per_byte"] =
      benchmark::Counter(static_cast<double>(board.clock().now_ns()) / 1000.0 /
                         static_cast<double>(state.iterations()));
}
BENCHMARK(BM_StandardReadCycle);

// Overshoot of DelayTicks(12) (about 10 us) on the real clock, median in ns.
void BM_DelayTicksOvershoot(benchmark::State& state) {
  hw::SilentReporter r;
  hw::RealClock clock;
  hw::Bus bus(clock, r);
  std::vector<int64_t> overshoot;
  for (auto _ : state) {
    const int64_t start = clock.Now();
    bus.DelayTicks(12);
    overshoot.push_back(clock.Now() - start - 10057);
  }
  std::sort(overshoot.begin(), overshoot.end());
  state.counters["median_overshoot_ns"] = static_cast<double>(overshoot[overshoot.size() / 2]);
  state.counters["p99_overshoot_ns"] = static_cast<double>(overshoot[overshoot.size() * 99 / 100]);
}
BENCHMARK(BM_DelayTicksOvershoot)->Iterations(20000);

}  // namespace

BENCHMARK_MAIN();
