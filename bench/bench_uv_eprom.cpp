// Programming a whole UV EPROM on the simulated board, final verify
// included: the CPU time a run costs, and the time the same run takes on
// real hardware at 1 us per port access (the board's virtual clock), split
// into port accesses, program pulses and the other waits, next to what the
// part's datasheet fast algorithm needs (one nominal pulse per word and
// nothing else).
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>

#include "app/actions.h"
#include "app/handler_id.h"
#include "app/programmer.h"
#include "app/selection.h"
#include "app/sim_socket.h"
#include "image/buffer_ops.h"
#include "sim/board.h"
#include "sim/eprom_chip.h"

#include "quiet_host.h"

namespace {

using bench::QuietHost;

double Seconds(int64_t ns) { return static_cast<double>(ns) / 1e9; }

// state.range(0): the 27C device code.
void BM_ProgramAndVerify(benchmark::State& state) {
  QuietHost host;
  app::Programmer p(host);
  app::BackendSpec backend;
  backend.kind = app::BackendSpec::Kind::kSim;
  p.OpenBackend(backend);
  sim::Board& board = *p.board();
  const int code = static_cast<int>(state.range(0));
  app::SelectDevice(p, app::HandlerId::M27C_Click, app::SelectItem{code, "bench"});
  const uint32_t size = p.image.full_device_size;

  std::mt19937 gen(1);
  image::ClearBuf(p.image, image::kFillFF, {});
  for (uint32_t i = 0; i < size; ++i) p.image[i] = static_cast<uint8_t>(gen());

  int64_t hardware_ns = 0, pulse_ns = 0;
  double violation_kinds = 0;
  uint64_t accesses = 0;
  sim::EpromConfig config;
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<sim::Chip> made = app::MakeSimChip(p);
    auto* chip = dynamic_cast<sim::EpromChip*>(made.get());
    config = chip->config();
    board.InsertChip(std::move(made));
    p.image.data_end = size;
    const int64_t start = board.clock().now_ns();
    const uint64_t start_accesses = board.accesses();
    state.ResumeTiming();

    app::mnuProgramClick(p);

    state.PauseTiming();
    hardware_ns += board.clock().now_ns() - start;
    accesses += board.accesses() - start_accesses;
    pulse_ns += chip->pulse_time_ns();
    // The routines' own timing breaks some datasheet limits (over-stress,
    // data setup); those are the tests' business. A run that fails is not.
    if (host.last != "Device Programmed OK") {
      state.SkipWithError(("the run failed: " + host.last).c_str());
    }
    violation_kinds = static_cast<double>(board.violations().size());
    state.ResumeTiming();
  }
  const auto n = static_cast<double>(state.iterations());
  const double port_s = static_cast<double>(accesses) * 1e-6 / n;
  state.counters["hw_s"] = Seconds(hardware_ns) / n;
  state.counters["hw_port_s"] = port_s;
  state.counters["hw_pulse_s"] = Seconds(pulse_ns) / n;
  state.counters["hw_other_wait_s"] = Seconds(hardware_ns - pulse_ns) / n - port_s;
  const uint32_t words = config.wide ? size / 2 : size;
  state.counters["datasheet_s"] = Seconds(config.timing.cell_ns) * words;
  state.counters["violation_kinds"] = violation_kinds;
  state.SetBytesProcessed(state.iterations() * int64_t{size});
}
// 27C512 (64 KB, two passes) and 27C322 (4 MB on the 16-bit adapter, two
// passes).
BENCHMARK(BM_ProgramAndVerify)->Arg(205)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ProgramAndVerify)->Arg(404)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
