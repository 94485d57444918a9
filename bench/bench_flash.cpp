// Programming whole flash parts on the simulated board, the routine's own
// verify included: the CPU time a run costs, and the time the same run
// takes on real hardware at 1 us per port access (the board's virtual
// clock), split into port accesses and waits, next to the datasheet's
// typical program time for the part (and erase time where the run erases).
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

struct Case {
  app::HandlerId handler;
  int tag;
  const char* caption;
  const char* box;        // a check box ticked for the run, or nullptr
  bool clear_box;         // ... or cleared
  bool erase;             // erase first
  const char* ok;         // the program's last message
  double datasheet_s;     // typical program (and erase) time of the part
};

constexpr double kMs = 1e-3, kUs = 1e-6;

const Case kCases[] = {
    // 29F040 (Am29F040): 7 us a byte.
    {app::HandlerId::M29F_Click, 107, "29F040", nullptr, false, false, "Device Programmed OK",
     512 * 1024 * 7 * kUs},
    {app::HandlerId::M29F_Click, 107, "29F040", "cbFastPro", false, false, "Device Programmed OK",
     512 * 1024 * 7 * kUs},
    // M29F040B in unlock-bypass mode: 7 us a byte.
    {app::HandlerId::AT49F00x_Click, 413, "M29F040B", "cbFujitsu_fastmode", false, false,
     "Device Programmed OK", 512 * 1024 * 7 * kUs},
    // 28F010: quick erase (0x00 fill at 10 us a byte, one 10 ms erase pulse),
    // then quick-pulse program, 10 us a byte.
    {app::HandlerId::M28F_Click, 105, "28F010", nullptr, false, true, "Device Compares OK",
     128 * 1024 * 10 * kUs * 2 + 10 * kMs},
    // 28F320J3: a 32-byte buffer in 218 us, or 210 us a byte.
    {app::HandlerId::i28Fx00_Click, 301, "28F320J3", nullptr, false, false,
     "Device Programmed OK", 4.0 * 1024 * 1024 / 32 * 218 * kUs},
    {app::HandlerId::i28Fx00_Click, 301, "28F320J3", "cb28F320J3buffer", true, false,
     "Device Programmed OK", 4.0 * 1024 * 1024 * 210 * kUs},
    // MBM29LV160 driven 16 bits wide: 11 us a word, W4 then W5 (unlock bypass).
    {app::HandlerId::MBM29LV160Click, 105, "MBM29LV160 -T", nullptr, false, false,
     "Device Programmed OK", 1024 * 1024 * 11 * kUs},
    {app::HandlerId::MBM29LV160Click, 105, "MBM29LV160 -T", "cbFujitsu_fastmode", false, false,
     "Device Programmed OK", 1024 * 1024 * 11 * kUs},
    // 82802AB firmware hub, every address through R/C#: 10 us a byte.
    {app::HandlerId::N82802AB_Click, 101, "intel 82802AB", nullptr, false, false,
     "Device Programmed OK", 512 * 1024 * 10 * kUs},
    // SST49LF002A in PP mode, every command address loaded in full: 14 us a byte.
    {app::HandlerId::SST49LF002_Click, 101, "SST49LF002", nullptr, false, false,
     "Device Programmed OK", 256 * 1024 * 14 * kUs},
};

void BM_FlashProgram(benchmark::State& state) {
  const Case& c = kCases[state.range(0)];
  QuietHost host;
  app::Programmer p(host);
  app::BackendSpec backend;
  backend.kind = app::BackendSpec::Kind::kSim;
  p.OpenBackend(backend);
  sim::Board& board = *p.board();
  app::SelectDevice(p, c.handler, app::SelectItem{c.tag, c.caption});
  if (c.box != nullptr) p.controls.Check(c.box, !c.clear_box);
  const uint32_t size = p.image.full_device_size;
  std::mt19937 gen(1);
  image::ClearBuf(p.image, image::kFillFF, {});
  for (uint32_t i = 0; i < size; ++i) p.image[i] = static_cast<uint8_t>(gen());

  int64_t hardware_ns = 0;
  uint64_t accesses = 0;
  for (auto _ : state) {
    state.PauseTiming();
    board.InsertChip(app::MakeSimChip(p));
    p.image.data_end = size;
    const int64_t start = board.clock().now_ns();
    const uint64_t start_accesses = board.accesses();
    state.ResumeTiming();

    if (c.erase) app::mnuEraseClick(p);
    app::mnuProgramClick(p);

    state.PauseTiming();
    hardware_ns += board.clock().now_ns() - start;
    accesses += board.accesses() - start_accesses;
    if (host.last != c.ok) state.SkipWithError(("the run failed: " + host.last).c_str());
    state.ResumeTiming();
  }
  const auto n = static_cast<double>(state.iterations());
  const double port_s = static_cast<double>(accesses) * 1e-6 / n;
  state.counters["hw_s"] = static_cast<double>(hardware_ns) / 1e9 / n;
  state.counters["hw_port_s"] = port_s;
  state.counters["hw_wait_s"] = static_cast<double>(hardware_ns) / 1e9 / n - port_s;
  state.counters["accesses_per_byte"] = static_cast<double>(accesses) / n / size;
  state.counters["datasheet_s"] = c.datasheet_s;
  state.SetLabel(std::string(c.caption) + (c.box == nullptr ? ""
                                           : c.clear_box    ? " without " + std::string(c.box)
                                                            : " " + std::string(c.box)));
}

BENCHMARK(BM_FlashProgram)->DenseRange(0, 3)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(BM_FlashProgram)->DenseRange(4, 5)->Unit(benchmark::kSecond)->Iterations(1);
// The wide and firmware-hub parts.
BENCHMARK(BM_FlashProgram)->DenseRange(6, 9)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
