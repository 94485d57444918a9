// The default read of a 512 KB device on the simulated board: the CPU time
// a run costs, and the time the same run takes on real hardware at 1 us per
// port access (the board's virtual clock); then the same with the trace
// streamed as CSV and as VCD. The trace goes to DARAZ_BENCH_TRACE_DIR when
// that is set, else to /dev/null, which leaves the formatting and the
// system calls without the disk.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "app/default_routines.h"
#include "app/programmer.h"
#include "sim/board.h"
#include "sim/rom_chip.h"
#include "sim/trace_csv.h"
#include "sim/trace_vcd.h"

namespace {

constexpr uint32_t kSize = 512 * 1024;

// What the run streams its trace into.
enum TraceKind { kNoTrace, kCsv, kVcd };

std::unique_ptr<sim::TraceSink> OpenTrace(int kind, std::string* error) {
  const char* dir = std::getenv("DARAZ_BENCH_TRACE_DIR");
  if (dir != nullptr && *dir != '\0') {
    return sim::OpenTraceFile(std::string(dir) + (kind == kVcd ? "/bench.vcd" : "/bench.csv"),
                              error);
  }
  auto file = sim::TraceFile::Open("/dev/null", error);
  if (!file) return nullptr;
  if (kind == kVcd) return std::make_unique<sim::VcdTraceSink>(std::move(file));
  return std::make_unique<sim::CsvTraceSink>(std::move(file));
}

void BM_DefaultRead512K(benchmark::State& state) {
  const int trace = static_cast<int>(state.range(0));
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
    std::unique_ptr<sim::TraceSink> sink;
    if (trace != kNoTrace) {
      std::string error;
      sink = OpenTrace(trace, &error);
      if (!sink) {
        state.SkipWithError(error.c_str());
        return;
      }
      board.SetTraceSink(sink.get());
    }
    const int64_t start = board.clock().now_ns();
    p.InitProgressStep(kSize);
    app::DefaultRead(p);
    simulated_ns += board.clock().now_ns() - start;
    if (sink) {
      board.SetTraceSink(nullptr);
      std::string error;
      if (!sink->Finish(&error)) {
        state.SkipWithError(error.c_str());
        return;
      }
    }
  }
  if (p.image.data_end != kSize) state.SkipWithError("the read did not complete");
  state.SetBytesProcessed(state.iterations() * int64_t{kSize});
  state.counters["simulated_s"] = benchmark::Counter(static_cast<double>(simulated_ns) / 1e9 /
                                                     static_cast<double>(state.iterations()));
  state.counters["port_accesses"] = benchmark::Counter(static_cast<double>(board.accesses()) /
                                                       static_cast<double>(state.iterations()));
}
BENCHMARK(BM_DefaultRead512K)
    ->ArgName("trace")  // 0 none, 1 CSV, 2 VCD
    ->Arg(kNoTrace)
    ->Arg(kCsv)
    ->Arg(kVcd)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
