// The default read of a 512 KB device on the simulated board: the CPU time
// a run costs, and the time the same run takes on real hardware at 1 us per
// port access (the board's virtual clock).
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "app/default_routines.h"
#include "app/programmer.h"
#include "sim/board.h"
#include "sim/rom_chip.h"

namespace {

constexpr uint32_t kSize = 512 * 1024;

void BM_DefaultRead512K(benchmark::State& state) {
  app::SilentHost host(true);
  app::Programmer p(host);
  app::BackendSpec backend;
  backend.kind = app::BackendSpec::Kind::kSim;
  p.OpenBackend(backend);
  sim::Board& board = *p.board();
  board.InsertChip(std::make_unique<sim::RomChip>(kSize));
  p.dev.family = 4;
  p.SetBufferSize(kSize);

  int64_t simulated_ns = 0;
  for (auto _ : state) {
    const int64_t start = board.clock().now_ns();
    p.InitProgressStep(kSize);
    app::DefaultRead(p);
    simulated_ns += board.clock().now_ns() - start;
  }
  if (p.image.data_end != kSize) state.SkipWithError("the read did not complete");
  state.SetBytesProcessed(state.iterations() * int64_t{kSize});
  state.counters["simulated_s"] = benchmark::Counter(static_cast<double>(simulated_ns) / 1e9 /
                                                     static_cast<double>(state.iterations()));
  state.counters["port_accesses"] = benchmark::Counter(static_cast<double>(board.accesses()) /
                                                       static_cast<double>(state.iterations()));
}
BENCHMARK(BM_DefaultRead512K)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
