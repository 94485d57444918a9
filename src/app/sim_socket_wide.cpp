#include "app/sim_socket_wide.h"

#include "app/programmer.h"
#include "sim/eeprom_parts.h"
#include "sim/jedec_parts.h"
#include "sim/parallel_eeprom.h"
#include "sim/wsm_flash.h"

namespace app {
namespace {

// The part behind each catalogue entry. A row without a caption is the
// Tag's part for every caption not listed.
struct WideEntry {
  int family;
  int tag;
  std::string_view caption;
  std::string_view part;
};

constexpr WideEntry kEntries[] = {
    // MBM29LV160Click
    {44, 103, {}, "MBM29LV400TC x16"},
    {44, 103, "MBM29LV400 -B", "MBM29LV400BC x16"},
    {44, 103, "MBM29DL400", "MBM29DL400TC x16"},
    {44, 104, {}, "MBM29LV800TA x16"},
    {44, 104, "MBM29LV800 -B", "MBM29LV800BA x16"},
    {44, 104, "MBM29DL800", "MBM29DL800TA x16"},
    {44, 105, {}, "MBM29LV160TE x16"},
    {44, 105, "MBM29LV160 -B", "MBM29LV160BE x16"},
    {44, 105, "MBM29DL16x", "MBM29DL161TD x16"},
    {44, 106, {}, "MBM29DL322TD x16"},
    {44, 106, "Am29DL322", "Am29DL322DT x16"},
    {44, 201, {}, "SST39VF100 x16"},
    {44, 202, {}, "SST39VF200A"},
    {44, 203, {}, "SST39VF400A"},
    {44, 204, {}, "SST39VF800A"},
    {44, 205, {}, "SST39VF160"},
    {44, 301, {}, "Am29F100T x16"},
    {44, 302, {}, "Am29F200T x16"},
    {44, 303, {}, "Am29F400T x16"},
    {44, 304, {}, "Am29F800T x16"},
    {44, 305, {}, "Am29F160DT x16"},
    {44, 306, {}, "Am29DL322DT x16"},
    {44, 401, {}, "M29F102BB x16"},
    {44, 402, {}, "M29W102BB x16"},
    {56, 501, {}, "W29C102"},
    // N28F4001Click
    {45, 101, {}, "28F400B3-T"},
    {45, 102, {}, "28F400B3-B"},
    {45, 103, {}, "28F800B3-T"},
    {45, 104, {}, "28F800B3-B"},
    {45, 105, {}, "28F160B3-T"},
    {45, 106, {}, "28F160B3-B"},
    {45, 107, {}, "28F320B3-T"},
    {45, 108, {}, "28F320B3-B"},
    {45, 201, {}, "28F800C3-T"},
    {45, 202, {}, "28F800C3-B"},
    {45, 203, {}, "28F160C3-T"},
    {45, 204, {}, "28F160C3-B"},
    {45, 205, {}, "28F320C3-T"},
    {45, 206, {}, "28F320C3-B"},
    {45, 301, {}, "28F320J3 x16"},
    {45, 302, {}, "28F640J3 x16"},
    // N82802AB_Click
    {34, 101, {}, "82802AB"},
    {34, 101, "AT49LW040", "AT49LW040"},
    {34, 102, {}, "82802AC"},
    {34, 102, "AT49LW080", "AT49LW080"},
    {34, 103, {}, "82802AA"},
    {34, 111, {}, "M50FW002"},
    {34, 112, {}, "M50FW040"},
    {34, 113, {}, "M50FW080"},
    {34, 113, "M50LPW080", "M50LPW080"},
    {34, 114, {}, "M50FW016"},
    {34, 115, {}, "M50LPW116"},
    {34, 116, {}, "M50FLW040A"},
    {34, 117, {}, "M50FLW040B"},
    // SST49LF002_Click
    {35, 101, {}, "SST49LF002A"},
    {35, 101, "SST49LF020", "SST49LF020"},
    {35, 101, "W49V002A", "W49V002A"},
    {35, 101, "W49V002FA", "W49V002FA"},
    {35, 101, "Pm49FL002", "Pm49FL002"},
    {35, 102, {}, "SST49LF003A"},
    {35, 103, {}, "SST49LF004A"},
    {35, 103, "SST49LF040", "SST49LF040"},
    {35, 103, "W39V040A", "W39V040FA"},
    {35, 103, "W39V040FA", "W39V040FA"},
    {35, 103, "W39V040Bx", "W39V040FA"},
    {35, 103, "Pm49FL004", "Pm49FL004"},
    {35, 104, {}, "SST49LF008A"},
    {35, 104, "SST49LF080A", "SST49LF080A"},
};

}  // namespace

std::string_view WidePartFor(int family, int device_code, std::string_view caption) {
  std::string_view found;
  for (const WideEntry& e : kEntries) {
    if (e.family != family || e.tag != device_code) continue;
    if (e.caption == caption) return e.part;
    if (e.caption.empty()) found = e.part;
  }
  return found;
}

std::unique_ptr<sim::Chip> MakeWideChip(int family, int device_code, std::string_view caption) {
  const std::string_view name = WidePartFor(family, device_code, caption);
  if (name.empty()) return nullptr;
  if (const sim::JedecPart* part = sim::FindJedecPart(name)) {
    return std::make_unique<sim::JedecFlash>(*part);
  }
  if (const sim::WsmPart* part = sim::FindWsmPart(name)) {
    return std::make_unique<sim::WsmFlash>(*part);
  }
  if (const sim::EepromPart* part = sim::FindEepromPart(name)) {
    constexpr uint32_t kWords = 64 * 1024;  // the W29C102: 64 K x 16
    sim::EepromConfig config{.part = *part, .map = {.size = kWords}, .width = 16};
    return std::make_unique<sim::ParallelEeprom>(config);
  }
  return nullptr;
}

std::unique_ptr<sim::Chip> MakeWideChip(const Programmer& p) {
  return MakeWideChip(p.dev.family, p.dev.device_code, p.controls.Text("edDevice"));
}

}  // namespace app
