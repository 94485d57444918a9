#include "families/flash/flash_devices.h"

namespace families::flash {
namespace {

constexpr uint32_t K = 1024;

// Up to six runs per layout; a run with count 0 ends the list.
struct Layout {
  LayoutRun runs[6];
};

// Sector layouts of the JEDEC chips, by the index their selection stores.
// Some (32 to 37) do not add up to a chip's size; no catalogue entry uses
// them. Layout 0 is the MX29F001T's: 64, 32, 2 x 8, 2 x 4 and the 8 KB boot
// sector, the mirror of layout 1.
constexpr Layout kSectorLayouts[kSectorLayoutCount] = {
    {{{1, 64 * K}, {1, 32 * K}, {2, 8 * K}, {2, 4 * K}, {1, 8 * K}}},                  // 0
    {{{1, 8 * K}, {2, 4 * K}, {2, 8 * K}, {1, 32 * K}, {1, 64 * K}}},                  // 1
    {{{3, 64 * K}, {1, 32 * K}, {2, 8 * K}, {1, 16 * K}}},                             // 2
    {{{1, 16 * K}, {2, 8 * K}, {1, 32 * K}, {3, 64 * K}}},                             // 3
    {{{7, 64 * K}, {1, 32 * K}, {2, 8 * K}, {1, 16 * K}}},                             // 4
    {{{1, 16 * K}, {2, 8 * K}, {1, 32 * K}, {7, 64 * K}}},                             // 5
    {{{8, 16 * K}}},                                                                   // 6
    {{{8, 64 * K}}},                                                                   // 7
    {{{16, 64 * K}}},                                                                  // 8
    {{{32, 64 * K}}},                                                                  // 9
    {{{64, 64 * K}}},                                                                  // 10
    {{{64, 4 * K}, {4, 64 * K}}},                                                      // 11
    {{{128, 4 * K}, {8, 64 * K}}},                                                     // 12
    {{{256, 4 * K}, {16, 64 * K}}},                                                    // 13
    {{{15, 64 * K}, {1, 32 * K}, {2, 8 * K}, {1, 16 * K}}},                            // 14
    {{{1, 16 * K}, {2, 8 * K}, {1, 32 * K}, {15, 64 * K}}},                            // 15
    {{{31, 64 * K}, {1, 32 * K}, {2, 8 * K}, {1, 16 * K}}},                            // 16
    {{{1, 16 * K}, {2, 8 * K}, {1, 32 * K}, {31, 64 * K}}},                            // 17
    {{{63, 64 * K}, {1, 32 * K}, {2, 8 * K}, {1, 16 * K}}},                            // 18
    {{{1, 16 * K}, {2, 8 * K}, {1, 32 * K}, {63, 64 * K}}},                            // 19
    {{{127, 64 * K}, {1, 32 * K}, {2, 8 * K}, {1, 16 * K}}},                           // 20
    {{{1, 16 * K}, {2, 8 * K}, {1, 32 * K}, {127, 64 * K}}},                           // 21
    {{{1, 64 * K}, {1, 32 * K}, {2, 8 * K}, {1, 16 * K}}},                             // 22
    {{{1, 16 * K}, {2, 8 * K}, {1, 32 * K}, {1, 64 * K}}},                             // 23
    {{{1, 128 * K}, {1, 96 * K}, {2, 8 * K}, {1, 16 * K}}},                            // 24
    {{{1, 16 * K}, {2, 8 * K}, {1, 96 * K}, {1, 128 * K}}},                            // 25
    {{{1, 992 * K}, {2, 8 * K}, {1, 16 * K}}},                                         // 26
    {{{1, 16 * K}, {2, 8 * K}, {1, 992 * K}}},                                         // 27
    {{{1, 16 * K}, {2, 8 * K}, {1, 224 * K}}},                                         // 28
    {{{14, 64 * K}, {1, 16 * K}, {1, 32 * K}, {3, 8 * K}, {1, 32 * K}, {1, 16 * K}}},  // 29
    {{{1, 16 * K}, {1, 32 * K}, {3, 8 * K}, {1, 32 * K}, {1, 16 * K}, {14, 64 * K}}},  // 30
    {{{1, 16 * K}, {1, 112 * K}}},                                                     // 31
    {{{31, 8 * K}, {8, 8 * K}}},                                                       // 32
    {{{8, 8 * K}, {31, 112 * K}}},                                                     // 33
    {{{31, 8 * K}, {8, 8 * K}}},                                                       // 34
    {{{8, 8 * K}, {31, 112 * K}}},                                                     // 35
    {{{63, 8 * K}, {8, 8 * K}}},                                                       // 36
    {{{8, 8 * K}, {63, 112 * K}}},                                                     // 37
    {{{1, 16 * K}, {2, 8 * K}, {1, 448 * K}}},                                         // 38
    {{{1, 112 * K}, {2, 4 * K}, {1, 8 * K}}},                                          // 39
    {{{1, 8 * K}, {2, 4 * K}, {1, 112 * K}}},                                          // 40
};

// Block layouts of the Intel chips.
constexpr Layout kBlockLayouts[kBlockLayoutCount] = {
    {{{1, 112 * K}, {2, 4 * K}, {1, 8 * K}}},                             // 0
    {{{1, 8 * K}, {2, 4 * K}, {1, 112 * K}}},                             // 1
    {{{8, 64 * K}}},                                                      // 2
    {{{16, 64 * K}}},                                                     // 3
    {{{32, 64 * K}}},                                                     // 4
    {{{32, 64 * K}}},                                                     // 5
    {{{64, 64 * K}}},                                                     // 6
    {{{1, 64 * K}, {1, 48 * K}, {2, 4 * K}, {1, 8 * K}}},                 // 7
    {{{1, 8 * K}, {2, 4 * K}, {1, 48 * K}, {1, 64 * K}}},                 // 8
    {{{3, 64 * K}, {1, 48 * K}, {2, 4 * K}, {1, 8 * K}}},                 // 9
    {{{1, 8 * K}, {2, 4 * K}, {1, 48 * K}, {3, 64 * K}}},                 // 10
    {{{7, 64 * K}, {1, 48 * K}, {2, 4 * K}, {1, 8 * K}}},                 // 11
    {{{1, 8 * K}, {2, 4 * K}, {1, 48 * K}, {7, 64 * K}}},                 // 12
    {{{7, 64 * K}, {8, 8 * K}}},                                          // 13
    {{{8, 8 * K}, {7, 64 * K}}},                                          // 14
    {{{15, 64 * K}, {8, 8 * K}}},                                         // 15
    {{{8, 8 * K}, {15, 64 * K}}},                                         // 16
    {{{31, 64 * K}, {8, 8 * K}}},                                         // 17
    {{{8, 8 * K}, {31, 64 * K}}},                                         // 18
    {{{7, 64 * K}, {8, 8 * K}}},                                          // 19
    {{{8, 8 * K}, {7, 64 * K}}},                                          // 20
    {{{15, 64 * K}, {8, 8 * K}}},                                         // 21
    {{{8, 8 * K}, {15, 64 * K}}},                                         // 22
    {{{31, 64 * K}, {8, 8 * K}}},                                         // 23
    {{{8, 8 * K}, {31, 64 * K}}},                                         // 24
    {{{63, 64 * K}, {8, 8 * K}}},                                         // 25
    {{{8, 8 * K}, {63, 64 * K}}},                                         // 26
    {{{127, 64 * K}, {8, 8 * K}}},                                        // 27
    {{{8, 8 * K}, {127, 64 * K}}},                                        // 28
    {{{1, 128 * K}, {1, 96 * K}, {2, 8 * K}, {1, 16 * K}}},               // 29
    {{{7, 16 * K}, {4, 4 * K}}},                                          // 30
    {{{4, 4 * K}, {14, 16 * K}, {4, 4 * K}}},                             // 31
    {{{14, 16 * K}, {8, 4 * K}}},                                         // 32
    {{{64, 64 * K}}},                                                     // 33
    {{{3, 64 * K}, {1, 32 * K}, {2, 8 * K}, {1, 16 * K}}},                // 34
    {{{32, 64 * K}}},                                                     // 35
    {{{16, 4 * K}, {30, 64 * K}, {1, 32 * K}, {2, 8 * K}, {1, 16 * K}}},  // 36
    {{{32, 128 * K}}},                                                    // 37
    {{{64, 128 * K}}},                                                    // 38
    {{{128, 128 * K}}},                                                   // 39
};

const Layout* Find(LayoutTable table, int index) {
  if (index < 0) return nullptr;
  if (table == LayoutTable::kSector) {
    return index < kSectorLayoutCount ? &kSectorLayouts[index] : nullptr;
  }
  return index < kBlockLayoutCount ? &kBlockLayouts[index] : nullptr;
}

}  // namespace

std::vector<LayoutRun> LayoutRuns(LayoutTable table, int index) {
  std::vector<LayoutRun> runs;
  const Layout* layout = Find(table, index);
  if (layout == nullptr) return runs;
  for (const LayoutRun& run : layout->runs) {
    if (run.count == 0) break;
    runs.push_back(run);
  }
  return runs;
}

std::vector<uint32_t> SectorStarts(LayoutTable table, int index, bool word_device) {
  std::vector<uint32_t> starts;
  const std::vector<LayoutRun> runs = LayoutRuns(table, index);
  if (runs.empty()) return starts;
  uint32_t address = 0;
  for (const LayoutRun& run : runs) {
    const uint32_t size = word_device ? run.size / 2 : run.size;
    for (uint32_t i = 0; i < run.count; ++i) {
      starts.push_back(address);
      address += size;
    }
  }
  starts.push_back(address);
  return starts;
}

bool WordSizedBlockLayout(int index) { return index >= 7 && index <= 12; }

std::vector<uint32_t> ByteModeBlockStarts(int index) {
  std::vector<uint32_t> starts;
  const std::vector<LayoutRun> runs = LayoutRuns(LayoutTable::kBlock, index);
  if (runs.empty()) return starts;
  const uint32_t scale = WordSizedBlockLayout(index) ? 2 : 1;
  uint32_t address = 0;
  for (const LayoutRun& run : runs) {
    for (uint32_t i = 0; i < run.count; ++i) {
      starts.push_back(address);
      address += run.size * scale;
    }
  }
  starts.push_back(address);
  return starts;
}

int SectorCount(LayoutTable table, int index) {
  int count = 0;
  for (const LayoutRun& run : LayoutRuns(table, index)) count += static_cast<int>(run.count);
  return count;
}

}  // namespace families::flash
