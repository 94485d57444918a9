#include "app/sim_socket_flash.h"

#include "app/programmer.h"
#include "sim/flash12v.h"
#include "sim/flash12v_embedded.h"
#include "sim/jedec_parts.h"
#include "sim/sst28_flash.h"
#include "sim/wsm_flash.h"

namespace app {
namespace {

// The part behind each catalogue entry. A row without a caption is the
// Tag's part for every caption not listed.
struct FlashEntry {
  int family;
  int tag;
  std::string_view caption;
  std::string_view part;
};

constexpr FlashEntry kEntries[] = {
    // M29F_Click
    {4, 101, {}, "29F64"},
    {4, 102, {}, "29F128"},
    {4, 103, {}, "29F256"},
    {4, 104, {}, "29F512"},
    {4, 104, "SST29VF512", "SST29VF512"},
    {4, 105, {}, "Am29F010"},
    {4, 105, "SST29VF010", "SST29VF010"},
    {4, 106, {}, "29F020"},
    {4, 106, "SST29VF020", "SST29VF020"},
    {4, 107, {}, "Am29F040"},
    {4, 107, "SST29VF040", "SST29VF040"},
    {12, 201, {}, "SST39SF512"},
    {12, 201, "SST39LF/VF512", "SST39VF512"},
    {12, 202, {}, "SST39SF010A"},
    {12, 202, "AT49F010", "AT49F010"},
    {12, 202, "Am29F010", "Am29F010"},
    {12, 202, "SST39LF/VF010", "SST39VF010"},
    {12, 202, "SyncMOS F29C31001", "F29C31001"},
    {12, 203, {}, "SST39SF020A"},
    {12, 203, "AT49F020", "AT49F020"},
    {12, 203, "Am29F020", "29F020"},
    {12, 203, "SST29LF/VF020", "SST29VF020"},
    {12, 203, "SyncMOS F29C31002", "F29C31002"},
    {12, 204, {}, "SST39SF040"},
    {12, 204, "AT49F040", "AT49F040"},
    {12, 204, "Am29F040", "Am29F040"},
    {12, 204, "SST39LF/VF040", "SST39VF040"},
    {12, 204, "SyncMOS F29C31004", "F29C31004"},
    {12, 204, "SyncMOS F29C51004T", "F29C51004T"},
    {12, 401, {}, "A29010"},
    {12, 401, "A290011", "A290011T"},
    {12, 402, {}, "A290021T"},
    {12, 403, {}, "A29040A"},
    {27, 311, {}, "MX29F001T"},
    {27, 312, {}, "MX29F001B"},
    {27, 313, {}, "MX29F002T"},
    {27, 314, {}, "MX29F002B"},
    {27, 315, {}, "MX29F004T"},
    {27, 316, {}, "MX29F004B"},
    {27, 317, {}, "MX29F040"},
    // EN29F002T_Click: the unprotect wizard's AMD dies
    {49, 301, {}, "Am29F040"},
    {50, 302, {}, "Am29F040"},
    // AT49F00x_Click
    {22, 101, {}, "AT49F001"},
    {22, 101, "29F001T", "AT49F001T"},
    {22, 101, "SyncMOS F29C51001T", "F29C51001T"},
    {22, 102, {}, "AT49F001T"},
    {22, 103, {}, "Am29F002T"},
    {22, 103, "AT49F002", "AT49F002"},
    {22, 103, "AT49F002x", "AT49F002"},
    {22, 103, "ASD         AE49F2008", "AE49F2008"},
    {22, 103, "AMIC        29F002T", "A29002T"},
    {22, 103, "SyncMOS F29C51002T", "F29C51002T"},
    {22, 103, "W49F002T", "W49F002U"},
    {22, 104, {}, "Am29F002NT"},
    {22, 104, "AT49F002 (N)T", "AT49F002T"},
    {22, 204, {}, "AT49F008A"},
    {22, 301, {}, "MBM29F004TC"},
    {22, 301, "MBM29LV004", "MBM29LV004TC"},
    {22, 302, {}, "MBM29F080"},
    {22, 303, {}, "MBM29F016"},
    {22, 304, {}, "MBM29F033"},
    {22, 305, {}, "MBM29LV002TC"},
    {22, 401, {}, "Am29F080"},
    {22, 401, "HY29F080", "HY29F080"},
    {22, 401, "M29F080", "M29F080"},
    {22, 401, "AT49F080", "AT49F080"},
    {22, 401, "SST39VF080 TSOP40A", "SST39VF080"},
    {22, 402, {}, "Am29F016"},
    {22, 402, "M29F016", "M29F016"},
    {22, 403, {}, "Am29F032"},
    {22, 403, "M29F032", "M29F032"},
    {22, 410, {}, "M29F512B"},
    {22, 411, {}, "M29F010B"},
    {22, 413, {}, "M29F040B"},
    {22, 501, {}, "Am29LV065D"},
    {22, 601, {}, "A29001T"},
    {22, 602, {}, "A29002T"},
    // Am29Fx00_Click
    {15, 101, {}, "Am29F100T"},
    {15, 102, {}, "Am29F200T"},
    {15, 103, {}, "Am29F400T"},
    {15, 104, {}, "Am29F800T"},
    {15, 105, {}, "Am29F160DT"},
    {15, 106, {}, "29F320T"},
    {15, 201, {}, "MX29F1610"},
    {15, 301, {}, "MBM29LV200TC"},
    {15, 302, {}, "Am29LV400BT"},
    {15, 303, {}, "MBM29LV800TA"},
    {15, 304, {}, "MBM29LV160TE"},
    {15, 305, {}, "MBM29LV320TE"},
    {15, 306, {}, "29LV100T"},
    {15, 501, {}, "AT49LV1024"},
    {15, 502, {}, "AT49F2048A"},
    {15, 503, {}, "AT49F4096A"},
    {15, 504, {}, "AT49F8192A"},
    {15, 505, {}, "AT49BV8011"},
    {15, 506, {}, "AT49LV1614"},
    {15, 507, {}, "AT49LV1614"},
    {15, 508, {}, "AT49LV321"},
    {15, 604, {}, "EN29F800T"},
    {15, 605, {}, "EN29LV800T"},
    {15, 606, {}, "EN29LV160T"},
    // HY29LV1601Click: the LV parts with in-system sector protection
    {47, 101, {}, "Am29LV400BT"},
    {47, 102, {}, "Am29LV400BB"},
    {47, 103, {}, "Am29LV800BT"},
    {47, 104, {}, "Am29LV800BB"},
    {47, 105, {}, "Am29LV160BT"},
    {47, 106, {}, "Am29LV160BB"},
    {47, 107, {}, "Am29LV200BT"},
    {47, 108, {}, "Am29LV200BB"},
    // SST28xF040A1Click
    {24, 1, {}, "SST28SF040A"},
    {25, 10, {}, "LE28F4001"},
    // M28F_Click, MX28F20001Click
    {3, 101, {}, "28F64"},
    {3, 101, "Am28F64", "Am28F64"},
    {3, 102, {}, "28F128"},
    {3, 102, "Am28F128", "Am28F128"},
    {3, 103, {}, "28F256"},
    {3, 103, "Am28F256", "Am28F256"},
    {3, 104, {}, "28F512"},
    {3, 104, "Am28F512", "Am28F512"},
    {3, 105, {}, "28F010"},
    {3, 105, "Am28F010", "Am28F010"},
    {3, 106, {}, "28F020"},
    {3, 106, "Am28F020", "Am28F020"},
    {3, 107, {}, "28F040"},
    {3, 121, {}, "Am28F256A"},
    {3, 122, {}, "Am28F512A"},
    {3, 123, {}, "Am28F010A"},
    {3, 124, {}, "Am28F020A"},
    {31, 101, {}, "MX28F1000P"},
    {31, 102, {}, "MX28F2000P"},
    {31, 103, {}, "MX28F2000T"},
    // i28Fx00_Click
    {26, 101, {}, "28F200B5-T"},
    {26, 102, {}, "28F200B5-B"},
    {26, 103, {}, "28F400B5-T"},
    {26, 104, {}, "28F400B5-B"},
    {26, 105, {}, "28F800B5-T"},
    {26, 106, {}, "28F800B5-B"},
    {26, 121, {}, "LH28F400-B"},
    {26, 122, {}, "LH28F400-T"},
    {26, 123, {}, "LH28F800-B"},
    {26, 124, {}, "LH28F800-T"},
    {26, 125, {}, "LH28F160-B"},
    {26, 126, {}, "LH28F160-T"},
    {26, 141, {}, "LH28F004-B"},
    {26, 142, {}, "LH28F004-T"},
    {26, 143, {}, "LH28F008-B"},
    {26, 144, {}, "LH28F008-T"},
    {26, 161, {}, "28F004S5"},
    {26, 162, {}, "28F008S5"},
    {26, 163, {}, "28F016S5"},
    {26, 164, {}, "28F002BC-T"},
    {26, 201, {}, "28F001BX-T"},
    {26, 202, {}, "28F001BX-B"},
    {26, 203, {}, "28F002BX-B"},
    {26, 203, "i28F200BX-B", "28F200BX-B"},
    {26, 204, {}, "28F002BX-T"},
    {26, 204, "i28F200BX-T", "28F200BX-T"},
    {26, 205, {}, "28F004BX-B"},
    {26, 205, "i28F400BX-B", "28F400BX-B"},
    {26, 206, {}, "28F004BX-T"},
    {26, 206, "i28F400BX-T", "28F400BX-T"},
    {55, 301, {}, "28F320J3"},
    {55, 302, {}, "28F640J3"},
};

}  // namespace

std::string_view FlashPartFor(int family, int device_code, std::string_view caption) {
  std::string_view found;
  for (const FlashEntry& e : kEntries) {
    if (e.family != family || e.tag != device_code) continue;
    if (e.caption == caption) return e.part;
    if (e.caption.empty()) found = e.part;
  }
  return found;
}

std::unique_ptr<sim::Chip> MakeFlashChip(int family, int device_code, std::string_view caption) {
  const std::string_view name = FlashPartFor(family, device_code, caption);
  if (name.empty()) return nullptr;
  if (const sim::JedecPart* part = sim::FindJedecPart(name)) {
    return std::make_unique<sim::JedecFlash>(*part);
  }
  if (const sim::Sst28Part* part = sim::FindSst28Part(name)) {
    return std::make_unique<sim::Sst28Flash>(*part);
  }
  if (const sim::Flash12VPart* part = sim::FindFlash12VPart(name)) {
    return std::make_unique<sim::Flash12V>(*part);
  }
  if (const sim::Flash12VEmbeddedPart* part = sim::FindFlash12VEmbeddedPart(name)) {
    return std::make_unique<sim::Flash12VEmbedded>(*part);
  }
  if (const sim::WsmPart* part = sim::FindWsmPart(name)) {
    return std::make_unique<sim::WsmFlash>(*part);
  }
  return nullptr;
}

std::unique_ptr<sim::Chip> MakeFlashChip(const Programmer& p) {
  return MakeFlashChip(p.dev.family, p.dev.device_code, p.controls.Text("edDevice"));
}

}  // namespace app
