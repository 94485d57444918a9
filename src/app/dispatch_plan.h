#pragma once

#include <string_view>

#include "app/dispatch.h"

namespace app {

// What the dispatch table must end up holding for one family and action.
enum class CellKind {
  kNone,        // no routine; Blank and Erase say so
  kNoneSilent,  // no routine, and nothing is said
  kOwn,         // the family's own routine
  kAs,          // the same routine as family `as` for this action
  kDefault,     // the shared default routine (read, verify or blank check)
};

struct PlanCell {
  CellKind kind = CellKind::kNone;
  int as = -1;  // kAs only
};

// The planned cell for a family type code and action. Codes outside
// 0..kFamilyCount-1 plan nothing (kNone), like an empty cell.
PlanCell PlannedCell(int family, Action action);

// Whether a routine is planned for the cell (own, as n or default).
inline bool PlansRoutine(PlanCell cell) {
  return cell.kind == CellKind::kOwn || cell.kind == CellKind::kAs ||
         cell.kind == CellKind::kDefault;
}

// The action's name as users see it in messages ("Read", "Program", ...).
std::string_view ActionName(Action action);

// The shared default routine of an action (read, verify, blank check);
// nullptr for the actions that have none.
Routine DefaultRoutineFor(Action action);

// Registers the default routine in every cell the plan gives one. Runs first
// in RegisterAllFamilies.
void RegisterDefaultRoutines(FamilyRegistry& registry);

}  // namespace app
