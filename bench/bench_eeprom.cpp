// The parallel EEPROM, sector-write flash and RAM routines on the simulated
// board: CPU time per run, and the time the same run takes on real hardware
// at 1 us per port access (the board's virtual clock), next to what the
// part's datasheet write cycles add up to. The models take the datasheets'
// longest write cycle.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>

#include "app/actions.h"
#include "app/handler_id.h"
#include "app/programmer.h"
#include "app/selection.h"
#include "app/sim_socket.h"
#include "families/parallel/sram.h"
#include "image/buffer_ops.h"
#include "sim/board.h"
#include "sim/parallel_eeprom.h"

#include "quiet_host.h"

namespace {

using bench::QuietHost;

double Seconds(int64_t ns) { return static_cast<double>(ns) / 1e9; }

struct Bench {
  QuietHost host;
  app::Programmer p{host};
  sim::Board* board = nullptr;

  Bench(app::HandlerId handler, int tag) {
    app::BackendSpec backend;
    backend.kind = app::BackendSpec::Kind::kSim;
    p.OpenBackend(backend);
    board = p.board();
    app::SelectDevice(p, handler, app::SelectItem{tag, "bench"});
  }
  void LoadRandom(uint32_t count) {
    std::mt19937 gen(1);
    image::ClearBuf(p.image, image::kFillFF, {});
    for (uint32_t i = 0; i < count; ++i) p.image[i] = static_cast<uint8_t>(gen());
    p.image.data_end = count;
  }
  sim::ParallelEeprom* FreshEeprom() {
    std::unique_ptr<sim::Chip> made = app::MakeSimChip(p);
    auto* chip = dynamic_cast<sim::ParallelEeprom*>(made.get());
    board->InsertChip(std::move(made));
    return chip;
  }
};

// A whole part programmed, final verify included. state.range(0): 1 for
// the AT28C256's byte mode.
void Program(benchmark::State& state, app::HandlerId handler, int tag) {
  Bench b(handler, tag);
  const uint32_t size = b.p.image.full_device_size;
  b.LoadRandom(size);
  b.p.controls.Check("cbAT28CxxbyteProg", state.range(0) == 1);
  int64_t hardware_ns = 0;
  uint64_t accesses = 0, cycles = 0;
  sim::ParallelEeprom* chip = nullptr;
  for (auto _ : state) {
    state.PauseTiming();
    chip = b.FreshEeprom();
    b.p.image.data_end = size;
    const int64_t start = b.board->clock().now_ns();
    const uint64_t start_accesses = b.board->accesses();
    state.ResumeTiming();

    app::mnuProgramClick(b.p);

    state.PauseTiming();
    hardware_ns += b.board->clock().now_ns() - start;
    accesses += b.board->accesses() - start_accesses;
    cycles += chip->write_cycles();
    if (b.host.last != "Device Programmed OK") {
      state.SkipWithError(("the run failed: " + b.host.last).c_str());
    }
    state.ResumeTiming();
  }
  const auto n = static_cast<double>(state.iterations());
  state.counters["hw_s"] = Seconds(hardware_ns) / n;
  state.counters["hw_port_s"] = static_cast<double>(accesses) * 1e-6 / n;
  state.counters["write_cycles"] = static_cast<double>(cycles) / n;
  state.counters["datasheet_s"] = static_cast<double>(cycles) / n *
                                  Seconds(chip->config().part.timing.write_cycle_ns);
  state.SetBytesProcessed(state.iterations() * int64_t{size});
}

void BM_AT28C256(benchmark::State& state) { Program(state, app::HandlerId::AT28Cxxx_Click, 102); }
// Page write, then byte mode.
BENCHMARK(BM_AT28C256)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_AT28C256)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_AT29C040A(benchmark::State& state) { Program(state, app::HandlerId::AT29C_Click, 107); }
BENCHMARK(BM_AT29C040A)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(1);

// The RAM test of a 628128: two patterns, each written and read back twice.
void BM_RamTest628128(benchmark::State& state) {
  Bench b(app::HandlerId::SRAM_Click, 5);
  int64_t hardware_ns = 0;
  for (auto _ : state) {
    state.PauseTiming();
    b.board->InsertChip(app::MakeSimChip(b.p));
    const int64_t start = b.board->clock().now_ns();
    state.ResumeTiming();

    app::mnuProgramClick(b.p);

    state.PauseTiming();
    hardware_ns += b.board->clock().now_ns() - start;
    if (b.host.last != "Device Test OK") state.SkipWithError("the test failed");
    state.ResumeTiming();
  }
  state.counters["hw_s"] = Seconds(hardware_ns) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_RamTest628128)->Unit(benchmark::kMillisecond)->Iterations(1);

// The slowest port a 64-byte AT28C256 page still loads through: the
// largest cost of one port access, in ns, at which a protected page write
// of one page programs (found by bisection).
bool PageLoads(int64_t access_ns) {
  Bench b(app::HandlerId::AT28Cxxx_Click, 102);
  b.board->SetAccessCost(access_ns);
  sim::ParallelEeprom* chip = b.FreshEeprom();
  chip->InjectFault({"sdp-on", 0, 0, 0});
  b.LoadRandom(63);  // one page: the pass runs to index 63
  app::mnuProgramClick(b.p);
  return b.host.last == "Device Programmed OK";
}

void BM_PageLoadMargin(benchmark::State& state) {
  int64_t good = 0;
  for (auto _ : state) {
    int64_t low = 1000, high = 20000;  // loads at 1 us, not at 20 us
    while (high - low > 1) {
      const int64_t mid = (low + high) / 2;
      (PageLoads(mid) ? low : high) = mid;
    }
    good = low;
  }
  state.counters["max_access_ns"] = static_cast<double>(good);
}
BENCHMARK(BM_PageLoadMargin)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
