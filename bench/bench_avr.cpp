// Programming an AT90S8515 (8 KB flash, 512-byte EEPROM) on the simulated
// board, verify included: the CPU time a run costs, and the time the same
// run would take on real hardware at 1 us per port access, with the share of
// the fixed 2500-tick (flash byte) and 1500-tick (EEPROM byte) waits, next to
// what the datasheet needs (tWLRH at most 0.9 ms per byte written).
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

#include "quiet_host.h"

namespace {

using bench::QuietHost;

constexpr double kTickS = 0.8381e-6;

void BM_At90s8515ProgramAndVerify(benchmark::State& state) {
  QuietHost host;
  app::Programmer p(host);
  app::BackendSpec backend;
  backend.kind = app::BackendSpec::Kind::kSim;
  p.OpenBackend(backend);
  sim::Board& board = *p.board();
  app::SelectDevice(p, app::HandlerId::AVR_Click, app::SelectItem{106, "bench"});
  const uint32_t flash = p.image.full_device_size;
  const uint32_t eeprom = p.dev.avr.eeprom_size;

  std::mt19937 gen(1);
  image::ClearBuf(p.image, image::kFillFF, {});
  for (uint32_t i = 0; i < flash; ++i) p.image[i] = static_cast<uint8_t>(gen());
  for (uint32_t i = 0; i < eeprom; ++i) p.image[0x40000 + i] = static_cast<uint8_t>(gen());

  int64_t hardware_ns = 0;
  uint64_t accesses = 0;
  for (auto _ : state) {
    state.PauseTiming();
    board.InsertChip(app::MakeSimChip(p));
    p.image.data_end = flash;
    const int64_t start = board.clock().now_ns();
    const uint64_t start_accesses = board.accesses();
    state.ResumeTiming();

    app::mnuProgramClick(p);

    state.PauseTiming();
    hardware_ns += board.clock().now_ns() - start;
    accesses += board.accesses() - start_accesses;
    if (host.last != "Device Verify OK") {
      state.SkipWithError(("the run failed: " + host.last).c_str());
    }
    state.ResumeTiming();
  }
  const auto n = static_cast<double>(state.iterations());
  state.counters["hw_s"] = static_cast<double>(hardware_ns) / 1e9 / n;
  state.counters["hw_port_s"] = static_cast<double>(accesses) * 1e-6 / n;
  state.counters["hw_fixed_wait_s"] = (2500.0 * flash + 1500.0 * eeprom) * kTickS;
  state.counters["datasheet_s"] = 0.9e-3 * (flash + eeprom);
  state.SetBytesProcessed(state.iterations() * int64_t{flash + eeprom});
}
BENCHMARK(BM_At90s8515ProgramAndVerify)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
