// How long the device catalogue takes to lay out, walk and search: the GUI
// builds its menu from it at start-up and the CLI looks a name up per run.
#include <benchmark/benchmark.h>

#include "app/catalogue.h"
#include "app/device_lookup.h"

namespace {

void BM_BuildCatalogue(benchmark::State& state) {
  for (auto _ : state) {
    app::Catalogue catalogue(app::DeviceCatalogueEntries());
    benchmark::DoNotOptimize(catalogue.Nodes().data());
  }
}
BENCHMARK(BM_BuildCatalogue);

void BM_WalkSelectable(benchmark::State& state) {
  const app::CatalogueNode& root = app::CatalogueRoot();
  for (auto _ : state) {
    int selectable = 0;
    app::ForEachItem(root,
                     [&](const app::CatalogueNode& n) { selectable += app::IsSelectable(n); });
    benchmark::DoNotOptimize(selectable);
  }
}
BENCHMARK(BM_WalkSelectable);

void BM_FindDeviceByCaption(benchmark::State& state) {
  app::DeviceCatalogue();
  for (auto _ : state) {
    benchmark::DoNotOptimize(app::FindDevice("27C16 (RevK)").node);
  }
}
BENCHMARK(BM_FindDeviceByCaption);

void BM_FindDeviceByPath(benchmark::State& state) {
  app::DeviceCatalogue();
  for (auto _ : state) {
    benchmark::DoNotOptimize(app::FindDevice("Firmware HUB / LPC / Winbond / W49V002A").node);
  }
}
BENCHMARK(BM_FindDeviceByPath);

void BM_SearchDevices(benchmark::State& state) {
  app::DeviceCatalogue();
  for (auto _ : state) {
    benchmark::DoNotOptimize(app::SearchDevices("29F0").size());
  }
}
BENCHMARK(BM_SearchDevices);

}  // namespace

BENCHMARK_MAIN();
