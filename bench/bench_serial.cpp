// The serial memories on the simulated board: the CPU time a program (with
// its verify pass) costs for a 24C512, a 25x256 and a 4 MB SPI flash, and a
// 16 MB SPI flash read; beside it the time the same run takes on real
// hardware at 1 us per port access (the board's virtual clock), split into
// the port accesses (the bit-banging) and the waits, next to the write time
// the datasheets give for the part.
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

struct Part {
  app::HandlerId handler;
  int tag;
  const char* caption;
  double datasheet_write_s;  // write cycles x the datasheet's write time
};

// 24C512 (128-byte pages): 512 pages x tWR 5 ms. 25x256 (64-byte pages):
// 512 x tW 5 ms. MX25L3205 (4 MB): 16384 pages x tPP 1.4 ms typical.
const Part kParts[] = {
    {app::HandlerId::M24C_Click, 306, "24C512    (128)", 512 * 0.005},
    {app::HandlerId::M25C_Click, 206, "25x256  (64)", 512 * 0.005},
    {app::HandlerId::MX25L512_Click, 407, "MX25L3205", 16384 * 0.0014},
    {app::HandlerId::MX25L512_Click, 409, "S25FL128", 0},
};

void Run(benchmark::State& state, bool program) {
  const Part& part = kParts[state.range(0)];
  QuietHost host;
  app::Programmer p(host);
  app::BackendSpec backend;
  backend.kind = app::BackendSpec::Kind::kSim;
  p.OpenBackend(backend);
  sim::Board& board = *p.board();
  app::SelectDevice(p, part.handler, app::SelectItem{part.tag, part.caption});
  const uint32_t size = p.image.full_device_size;
  std::mt19937 gen(1);
  std::vector<uint8_t> data(size);
  for (auto& b : data) b = static_cast<uint8_t>(gen());

  int64_t hardware_ns = 0;
  uint64_t accesses = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<sim::Chip> chip = app::MakeSimChip(p);
    if (!program) chip->SetContents(data);
    board.InsertChip(std::move(chip));
    image::ClearBuf(p.image, image::kFillFF, {});
    for (uint32_t i = 0; i < size; ++i) p.image[i] = data[i];
    p.image.data_end = size;
    host.failed = false;
    const int64_t start = board.clock().now_ns();
    const uint64_t start_accesses = board.accesses();
    state.ResumeTiming();

    (program ? app::mnuProgramClick : app::mnuReadClick)(p);

    state.PauseTiming();
    hardware_ns += board.clock().now_ns() - start;
    accesses += board.accesses() - start_accesses;
    if (host.failed) state.SkipWithError(("the run failed: " + host.last).c_str());
    state.ResumeTiming();
  }
  const auto n = static_cast<double>(state.iterations());
  const double hardware_s = static_cast<double>(hardware_ns) / 1e9 / n;
  const double port_s = static_cast<double>(accesses) * board.access_cost_ns() / 1e9 / n;
  state.counters["hw_s"] = hardware_s;
  state.counters["port_s"] = port_s;
  state.counters["wait_s"] = hardware_s - port_s;
  if (program) state.counters["datasheet_write_s"] = part.datasheet_write_s;
  state.SetLabel(part.caption);
}

void BM_ProgramAndVerify(benchmark::State& state) { Run(state, true); }
void BM_Read(benchmark::State& state) { Run(state, false); }

BENCHMARK(BM_ProgramAndVerify)->DenseRange(0, 2)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(BM_Read)->Arg(3)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
