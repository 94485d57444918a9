// Programming a microcontroller on the simulated board, final verify
// included: the CPU time a run costs, and the time the same run would take
// on real hardware at 1 us per port access (the board's virtual clock),
// split into port accesses, program pulses and the other waits, next to
// what the part's datasheet needs for its bytes (write cycle or pulse time
// only). `pulses_per_byte` shows the retries.
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
#include "sim/mcs48_chip.h"
#include "sim/mcs51_chip.h"

#include "quiet_host.h"

namespace {

using bench::QuietHost;

double Seconds(int64_t ns) { return static_cast<double>(ns) / 1e9; }

struct Part {
  app::HandlerId handler;
  int code;
  // What the datasheet needs per byte (or per page for the paged part), and
  // how many such units the image has.
  int64_t datasheet_unit_ns;
  int64_t (*units)(uint32_t size);
};

int64_t Bytes(uint32_t size) { return size; }
// 64-byte code pages below 0x3000, 32-byte data pages above.
int64_t S8253Pages(uint32_t size) { return 0x3000 / 64 + (size - 0x3000) / 32; }

const Part kParts[] = {
    // AT89C55: a byte write typically 1.5 ms.
    {app::HandlerId::muMCS51_Click, 4, 1'500'000, &Bytes},
    // AT89S8253: a page write of at most 4 ms.
    {app::HandlerId::muMCS51_Click, 52, 4'000'000, &S8253Pages},
    // 8749H: one 50 ms pulse per byte.
    {app::HandlerId::D8748_Click, 102, 50'000'000, &Bytes},
};

// Program-pulse time and writes the part took, whichever model it is.
struct Pulses {
  int64_t ns = 0;
  int64_t count = 0;
};
Pulses PulseTime(sim::Chip* chip) {
  Pulses out;
  if (auto* mcs51 = dynamic_cast<sim::Mcs51Chip*>(chip)) {
    for (const auto& e : mcs51->events()) {
      if (e.kind != sim::Mcs51Chip::StrobeKind::kProg) continue;
      out.ns += e.width_ns;
      ++out.count;
    }
  } else if (auto* mcs48 = dynamic_cast<sim::Mcs48Chip*>(chip)) {
    for (const auto& pulse : mcs48->pulses()) {
      out.ns += pulse.width_ns;
      ++out.count;
    }
  }
  return out;
}

// state.range(0): the row of kParts.
void BM_ProgramAndVerify(benchmark::State& state) {
  const Part& part = kParts[state.range(0)];
  QuietHost host;
  app::Programmer p(host);
  app::BackendSpec backend;
  backend.kind = app::BackendSpec::Kind::kSim;
  p.OpenBackend(backend);
  sim::Board& board = *p.board();
  app::SelectDevice(p, part.handler, app::SelectItem{part.code, "bench"});
  const uint32_t size = p.image.full_device_size;

  std::mt19937 gen(1);
  image::ClearBuf(p.image, image::kFillFF, {});
  for (uint32_t i = 0; i < size; ++i) p.image[i] = static_cast<uint8_t>(gen());

  int64_t hardware_ns = 0, pulse_ns = 0, pulses = 0;
  uint64_t accesses = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<sim::Chip> made = app::MakeSimChip(p);
    sim::Chip* chip = made.get();
    if (auto* mcs51 = dynamic_cast<sim::Mcs51Chip*>(chip)) mcs51->RecordEvents(true);
    if (auto* mcs48 = dynamic_cast<sim::Mcs48Chip*>(chip)) mcs48->RecordEvents(true);
    board.InsertChip(std::move(made));
    p.image.data_end = size;
    const int64_t start = board.clock().now_ns();
    const uint64_t start_accesses = board.accesses();
    state.ResumeTiming();

    app::mnuProgramClick(p);

    state.PauseTiming();
    hardware_ns += board.clock().now_ns() - start;
    accesses += board.accesses() - start_accesses;
    const Pulses used = PulseTime(board.chip());
    pulse_ns += used.ns;
    pulses += used.count;
    if (host.last != "Device Programmed OK") {
      state.SkipWithError(("the run failed: " + host.last).c_str());
    }
    state.ResumeTiming();
  }
  const auto n = static_cast<double>(state.iterations());
  const double port_s = static_cast<double>(accesses) * 1e-6 / n;
  state.counters["hw_s"] = Seconds(hardware_ns) / n;
  state.counters["hw_port_s"] = port_s;
  state.counters["hw_pulse_s"] = Seconds(pulse_ns) / n;
  state.counters["hw_other_wait_s"] = Seconds(hardware_ns - pulse_ns) / n - port_s;
  state.counters["pulses_per_byte"] = static_cast<double>(pulses) / n / size;
  state.counters["datasheet_s"] = Seconds(part.datasheet_unit_ns) * part.units(size);
  state.SetBytesProcessed(state.iterations() * int64_t{size});
}
BENCHMARK(BM_ProgramAndVerify)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->ArgName("part")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
