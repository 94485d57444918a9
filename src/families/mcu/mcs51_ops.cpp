#include "families/mcu/mcs51_ops.h"

namespace families::mcs51 {
namespace {

struct Row {
  int sub_type;
  const Ops* ops;
};
// DS89C420 (4), P89C51RD2 (7), AT89S2051/4051 (9) and AT89LP2052/4052 (10)
// stand on hidden or disabled items and have no row.
constexpr Row kRows[] = {
    {1, &pins40::kSubType1}, {2, &pins40::kSubType2}, {3, &pins40::kSubType3},
    {5, &pins40::kSubType5}, {6, &pins20::kSubType6}, {8, &pins40::kSubType8},
};

}  // namespace

const Ops* OpsFor(int sub_type) {
  for (const Row& row : kRows) {
    if (row.sub_type == sub_type) return row.ops;
  }
  return nullptr;
}

const Ops* OpsFor(const Programmer& p) { return OpsFor(p.dev.mcs51.sub_type); }

}  // namespace families::mcs51
