// Cost of the image operations and the file formats on the full 16 MB
// image: checksums, clearing, and saving and loading each format.
//
// With `--run OP ...` the program does one operation and exits, so that
// bench/compare_srec_cat.sh can time it as a whole process (and measure
// its peak memory) side by side with srec_cat:
//   --run load FILE            load FILE by its extension into a fresh image
//   --run save-hex BIN OUT     load the binary BIN, save the 16 MB as Intel HEX
//   --run save-srec BIN OUT    the same as S-records
// It prints "peak_kb N", its own peak resident memory.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>

#include "image/buffer_ops.h"
#include "image/checksum.h"
#include "image/file_load.h"
#include "image/file_save.h"

namespace {

class NullHost final : public image::FileHost {
 public:
  void Message(const std::string&, int) override {}
  void ReportError(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
  void SetCaption(const std::string&) override {}
  void Information(const std::string&) override {}
};

void FillRandom(image::MemoryImage& img) {
  std::mt19937_64 gen(42);
  for (uint32_t i = 0; i < image::kImageSize; i += 8) {
    const uint64_t v = gen();
    std::memcpy(img.data() + i, &v, 8);
  }
  img.SetBufferSize(image::kImageSize);
}

std::string TempPath(const std::string& name) {
  return (std::filesystem::temp_directory_path() /
          ("daraz-bench-" + std::to_string(::getpid()) + "-" + name))
      .string();
}

void BM_Crc32(benchmark::State& state) {
  image::MemoryImage img;
  FillRandom(img);
  for (auto _ : state) benchmark::DoNotOptimize(image::Checksum(img, false, image::kChecksumCrc32));
  state.SetBytesProcessed(state.iterations() * image::kImageSize);
}
BENCHMARK(BM_Crc32)->Unit(benchmark::kMillisecond);

void BM_Sum16(benchmark::State& state) {
  image::MemoryImage img;
  FillRandom(img);
  for (auto _ : state) benchmark::DoNotOptimize(image::Checksum(img, false, image::kChecksumSum16));
  state.SetBytesProcessed(state.iterations() * image::kImageSize);
}
BENCHMARK(BM_Sum16)->Unit(benchmark::kMillisecond);

void BM_ClearAA55(benchmark::State& state) {
  image::MemoryImage img;
  for (auto _ : state) image::ClearBuf(img, image::kFillAA55, image::FamilyLayout());
  state.SetBytesProcessed(state.iterations() * image::kImageSize);
}
BENCHMARK(BM_ClearAA55)->Unit(benchmark::kMillisecond);

// Saves the random 16 MB image as `type`, then loads it back.
void SaveThenLoad(benchmark::State& state, image::SaveType type, bool load) {
  image::MemoryImage img;
  FillRandom(img);
  NullHost host;
  const std::string base = TempPath("bench");
  std::string path;
  int64_t file_bytes = 0;
  if (load) {
    path = image::SaveImageFile(base, type, img, image::FamilyLayout(), host).path;
    file_bytes = static_cast<int64_t>(std::filesystem::file_size(path));
  }
  image::MemoryImage back;
  for (auto _ : state) {
    if (load) {
      if (!image::LoadImageFile(path, back, image::FamilyLayout(), host).ok)
        state.SkipWithError("load");
    } else {
      state.PauseTiming();
      std::filesystem::remove(path);  // a fresh file each time, as a first save
      state.ResumeTiming();
      const auto r = image::SaveImageFile(base, type, img, image::FamilyLayout(), host);
      if (!r.ok) state.SkipWithError("save");
      path = r.path;
      file_bytes = static_cast<int64_t>(std::filesystem::file_size(path));
    }
  }
  std::filesystem::remove(path);
  state.SetBytesProcessed(state.iterations() * file_bytes);
}

void BM_SaveIntelHex(benchmark::State& s) { SaveThenLoad(s, image::SaveType::kIntelHex, false); }
void BM_LoadIntelHex(benchmark::State& s) { SaveThenLoad(s, image::SaveType::kIntelHex, true); }
void BM_SaveSRecord(benchmark::State& s) { SaveThenLoad(s, image::SaveType::kSRecord, false); }
void BM_LoadSRecord(benchmark::State& s) { SaveThenLoad(s, image::SaveType::kSRecord, true); }
void BM_LoadBinary(benchmark::State& s) { SaveThenLoad(s, image::SaveType::kBinary, true); }
BENCHMARK(BM_SaveIntelHex)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadIntelHex)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveSRecord)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadSRecord)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadBinary)->Unit(benchmark::kMillisecond);

int RunOne(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string op = argv[0];
  NullHost host;
  image::MemoryImage img;
  // As at start-up: the image is cleared with 0xFF before anything else.
  image::ClearBuf(img, image::kFillFF, image::FamilyLayout());
  bool ok = false;
  if (op == "load") {
    ok = image::LoadImageFile(argv[1], img, image::FamilyLayout(), host).ok;
  } else if ((op == "save-hex" || op == "save-srec") && argc >= 3) {
    ok = image::LoadImageFile(argv[1], img, image::FamilyLayout(), host).ok;
    img.SetBufferSize(image::kImageSize);
    const auto type = op == "save-hex" ? image::SaveType::kIntelHex : image::SaveType::kSRecord;
    ok = ok && image::SaveImageFile(argv[2], type, img, image::FamilyLayout(), host).ok;
  } else {
    return 2;
  }
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  std::printf("peak_kb %ld\n", usage.ru_maxrss);
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "--run") == 0) return RunOne(argc - 2, argv + 2);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
