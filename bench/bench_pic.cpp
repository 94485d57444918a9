// Programming a PIC16F877A (8 K words, 256 data bytes) and a PIC18F4620
// (64 KB code, 1 KB data EEPROM) on the simulated board, verify included:
// the CPU time a run costs, the time it would take on real hardware at 1 us
// per port access, and the least the parts' programming descriptions allow
// (16F877A: a chip erase of 8 ms, each row of eight words a 1 ms
// program-only cycle, each data byte 4 ms; 18F4620: a chip erase of 5 ms,
// each 64-byte buffer a 1 ms write, each data byte 4 ms).
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "app/actions.h"
#include "app/handler_id.h"
#include "app/programmer.h"
#include "app/selection.h"
#include "app/sim_socket.h"
#include "image/buffer_ops.h"
#include "image/layout.h"
#include "sim/board.h"

#include "quiet_host.h"

namespace {

using bench::QuietHost;

struct Target {
  app::HandlerId handler;
  int tag;
  uint32_t code_bytes;     // image bytes of program memory
  uint32_t eeprom_offset;  // image offset of data byte 0
  uint32_t eeprom_stride;  // image bytes per data byte
  uint32_t eeprom_bytes;
  double datasheet_s;
};

void ProgramAndVerify(benchmark::State& state, const Target& t) {
  QuietHost host;
  app::Programmer p(host);
  app::BackendSpec backend;
  backend.kind = app::BackendSpec::Kind::kSim;
  p.OpenBackend(backend);
  sim::Board& board = *p.board();
  app::SelectDevice(p, t.handler, app::SelectItem{t.tag, "bench"});

  // Code words of 14 bits on the mid-range part (the high byte's top two
  // bits are not memory), any byte on PIC18; data bytes random.
  std::mt19937 gen(1);
  image::ClearBuf(p.image, image::kFillFF, {});
  const bool mid_range = t.handler == app::HandlerId::M12C_Click;
  for (uint32_t i = 0; i < t.code_bytes; ++i) {
    const auto b = static_cast<uint8_t>(gen());
    p.image[i] = mid_range && (i & 1) ? static_cast<uint8_t>(b & 0x3F) : b;
  }
  for (uint32_t j = 0; j < t.eeprom_bytes; ++j) {
    p.image[t.eeprom_offset + j * t.eeprom_stride] = static_cast<uint8_t>(gen());
  }

  int64_t hardware_ns = 0;
  uint64_t accesses = 0;
  for (auto _ : state) {
    state.PauseTiming();
    board.InsertChip(app::MakeSimChip(p));
    p.image.data_end = p.image.device_size;
    p.error = 0;
    const int64_t start = board.clock().now_ns();
    const uint64_t start_accesses = board.accesses();
    state.ResumeTiming();

    app::mnuProgramClick(p);

    state.PauseTiming();
    hardware_ns += board.clock().now_ns() - start;
    accesses += board.accesses() - start_accesses;
    if (p.error != 0) state.SkipWithError(("the run failed: " + host.last).c_str());
    state.ResumeTiming();
  }
  const auto n = static_cast<double>(state.iterations());
  state.counters["hw_s"] = static_cast<double>(hardware_ns) / 1e9 / n;
  state.counters["hw_port_s"] = static_cast<double>(accesses) * 1e-6 / n;
  state.counters["datasheet_s"] = t.datasheet_s;
  state.SetBytesProcessed(state.iterations() * int64_t{t.code_bytes + t.eeprom_bytes});
}

void BM_Pic16F877AProgramAndVerify(benchmark::State& state) {
  ProgramAndVerify(state, {app::HandlerId::M12C_Click, 513, 8192 * 2, image::kPicEepromByte, 2, 256,
                           0.008 + 1024 * 1e-3 + 256 * 4e-3});
}
BENCHMARK(BM_Pic16F877AProgramAndVerify)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Pic18F4620ProgramAndVerify(benchmark::State& state) {
  ProgramAndVerify(state, {app::HandlerId::PIC18F_Click, 207, 64 * 1024, image::kPic18EepromOffset,
                           1, 1024, 0.005 + 1024 * 1e-3 + 1024 * 4e-3});
}
BENCHMARK(BM_Pic18F4620ProgramAndVerify)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
