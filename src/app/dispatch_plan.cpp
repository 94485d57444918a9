#include "app/dispatch_plan.h"

#include <array>

namespace app {
namespace {

constexpr PlanCell O{CellKind::kOwn};
constexpr PlanCell D{CellKind::kDefault};
constexpr PlanCell N{CellKind::kNone};
constexpr PlanCell S{CellKind::kNoneSilent};
constexpr PlanCell As(int family) { return {CellKind::kAs, family}; }

using Row = std::array<PlanCell, kActionCount>;

// Family type code -> Read, Program, Verify, Blank, Erase, Get ID.
constexpr std::array<Row, kFamilyCount> kPlan{{
    /* 0 */ {O, O, O, D, N, N},
    /* 1 */ {O, O, O, N, N, N},
    /* 2 */ {O, O, O, N, N, N},
    /* 3 */ {D, O, D, D, O, O},
    /* 4 */ {D, O, D, D, O, O},
    /* 5 */ {D, O, D, D, O, N},
    /* 6 */ {O, O, O, O, N, N},
    /* 7 */ {D, O, D, D, N, N},
    /* 8 */ {O, O, O, N, O, N},
    /* 9 */ {D, O, D, D, O, O},
    /* 10 */ {O, O, O, O, O, O},
    /* 11 */ {As(10), As(10), As(10), As(10), As(10), As(10)},
    /* 12 */ {D, As(4), D, D, As(4), O},
    /* 13 */ {As(0), O, As(0), D, N, N},
    /* 14 */ {O, O, O, O, O, O},
    /* 15 */ {D, O, D, D, O, O},
    /* 16 */ {O, O, O, O, N, N},
    /* 17 */ {As(16), O, As(16), As(16), O, O},
    /* 18 */ {O, O, O, As(16), N, N},
    /* 19 */ {D, O, D, D, N, N},
    /* 20 */ {N, O, N, N, N, N},
    /* 21 */ {D, As(9), D, D, As(9), O},
    /* 22 */ {D, O, D, D, As(4), As(12)},
    /* 23 */ {As(0), As(0), As(0), D, O, N},
    /* 24 */ {D, O, D, D, O, O},
    /* 25 */ {D, As(24), D, D, O, As(24)},
    /* 26 */ {D, O, D, D, O, O},
    /* 27 */ {D, As(4), D, D, As(4), As(4)},
    /* 28 */ {O, O, O, O, N, N},
    /* 29 */ {As(28), N, As(28), N, N, N},
    /* 30 */ {As(0), O, D, D, O, N},
    /* 31 */ {D, O, D, D, O, As(3)},
    /* 32 */ {O, O, O, N, N, N},
    /* 33 */ {O, O, O, O, N, N},
    /* 34 */ {O, O, O, O, O, O},
    /* 35 */ {As(34), O, As(34), As(34), O, O},
    /* 36 */ {O, O, O, O, O, O},
    /* 37 */ {N, N, N, N, N, N},
    /* 38 */ {N, N, N, S, N, N},
    /* 39 */ {O, O, O, N, N, N},
    /* 40 */ {N, N, N, N, N, N},
    /* 41 */ {N, N, N, N, N, N},
    /* 42 */ {N, N, N, N, N, N},
    /* 43 */ {N, N, N, N, N, N},
    /* 44 */ {O, O, O, O, O, O},
    /* 45 */ {As(44), O, As(44), As(44), O, O},
    /* 46 */ {N, N, N, D, N, N},
    /* 47 */ {N, N, N, N, N, N},
    /* 48 */ {D, O, D, D, O, N},
    /* 49 */ {N, N, N, N, N, N},
    /* 50 */ {N, N, N, N, N, N},
    /* 51 */ {O, O, O, N, O, N},
    /* 52 */ {O, O, O, N, N, N},
    /* 53 */ {O, As(17), O, As(16), As(17), N},
    /* 54 */ {N, N, N, N, N, N},
    /* 55 */ {D, O, D, D, O, As(26)},
    /* 56 */ {As(44), O, As(44), As(44), O, O},
    /* 57 */ {O, O, O, O, O, O},
}};

constexpr std::array<std::string_view, kActionCount> kActionNames{
    "Read", "Program", "Verify", "Blank Check", "Erase", "Get ID"};

}  // namespace

PlanCell PlannedCell(int family, Action action) {
  if (family < 0 || family >= kFamilyCount) return N;
  return kPlan[family][static_cast<int>(action)];
}

std::string_view ActionName(Action action) { return kActionNames[static_cast<int>(action)]; }

}  // namespace app
