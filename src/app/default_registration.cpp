// Fills every cell the dispatch plan gives to a default routine. It runs
// before the families register, so a family that wrongly claims such a cell
// shows up in the registry test instead of silently replacing the default.
#include "app/default_routines.h"
#include "app/dispatch.h"
#include "app/dispatch_plan.h"

namespace app {

// The default routine for an action; nullptr for actions that have none.
Routine DefaultRoutineFor(Action action) {
  switch (action) {
    case Action::kRead:
      return &DefaultRead;
    case Action::kVerify:
      return &DefaultVerify;
    case Action::kBlank:
      return &DefaultBlankCheck;
    default:
      return nullptr;
  }
}

void RegisterDefaultRoutines(FamilyRegistry& registry) {
  for (int family = 0; family < kFamilyCount; ++family) {
    for (int a = 0; a < kActionCount; ++a) {
      const auto action = static_cast<Action>(a);
      if (PlannedCell(family, action).kind != CellKind::kDefault) continue;
      if (const Routine routine = DefaultRoutineFor(action)) {
        registry.Register(family, action, routine);
      }
    }
  }
}

}  // namespace app
