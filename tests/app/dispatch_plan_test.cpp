#include "app/dispatch_plan.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/dispatch.h"

namespace {

using app::Action;
using app::CellKind;

// The dispatch table as the product's documentation writes it, one line per
// family code: Read Program Verify Blank Erase GetID. "own", "default",
// "-" (no routine), "quiet" (no routine, no message), or a family number
// for "the same routine as family n".
constexpr const char* kTable[app::kFamilyCount] = {
    "own own own default - -",              // 0
    "own own own - - -",                    // 1
    "own own own - - -",                    // 2
    "default own default default own own",  // 3
    "default own default default own own",  // 4
    "default own default default own -",    // 5
    "own own own own - -",                  // 6
    "default own default default - -",      // 7
    "own own own - own -",                  // 8
    "default own default default own own",  // 9
    "own own own own own own",              // 10
    "10 10 10 10 10 10",                    // 11
    "default 4 default default 4 own",      // 12
    "0 own 0 default - -",                  // 13
    "own own own own own own",              // 14
    "default own default default own own",  // 15
    "own own own own - -",                  // 16
    "16 own 16 16 own own",                 // 17
    "own own own 16 - -",                   // 18
    "default own default default - -",      // 19
    "- own - - - -",                        // 20
    "default 9 default default 9 own",      // 21
    "default own default default 4 12",     // 22
    "0 0 0 default own -",                  // 23
    "default own default default own own",  // 24
    "default 24 default default own 24",    // 25
    "default own default default own own",  // 26
    "default 4 default default 4 4",        // 27
    "own own own own - -",                  // 28
    "28 - 28 - - -",                        // 29
    "0 own default default own -",          // 30
    "default own default default own 3",    // 31
    "own own own - - -",                    // 32
    "own own own own - -",                  // 33
    "own own own own own own",              // 34
    "34 own 34 34 own own",                 // 35
    "own own own own own own",              // 36
    "- - - - - -",                          // 37
    "- - - quiet - -",                      // 38
    "own own own - - -",                    // 39
    "- - - - - -",                          // 40
    "- - - - - -",                          // 41
    "- - - - - -",                          // 42
    "- - - - - -",                          // 43
    "own own own own own own",              // 44
    "44 own 44 44 own own",                 // 45
    "- - - default - -",                    // 46
    "- - - - - -",                          // 47
    "default own default default own -",    // 48
    "- - - - - -",                          // 49
    "- - - - - -",                          // 50
    "own own own - own -",                  // 51
    "own own own - - -",                    // 52
    "own 17 own 16 17 -",                   // 53
    "- - - - - -",                          // 54
    "default own default default own 26",   // 55
    "44 own 44 44 own own",                 // 56
    "own own own own own own",              // 57
};

app::PlanCell Parse(const std::string& word) {
  if (word == "own") return {CellKind::kOwn};
  if (word == "default") return {CellKind::kDefault};
  if (word == "-") return {CellKind::kNone};
  if (word == "quiet") return {CellKind::kNoneSilent};
  return {CellKind::kAs, std::stoi(word)};
}

TEST(DispatchPlan, MatchesTheDocumentedTableCellByCell) {
  for (int family = 0; family < app::kFamilyCount; ++family) {
    std::istringstream line(kTable[family]);
    std::vector<std::string> words;
    for (std::string w; line >> w;) words.push_back(w);
    ASSERT_EQ(words.size(), static_cast<size_t>(app::kActionCount)) << "family " << family;
    for (int a = 0; a < app::kActionCount; ++a) {
      const app::PlanCell want = Parse(words[a]);
      const app::PlanCell got = app::PlannedCell(family, static_cast<Action>(a));
      EXPECT_EQ(got.kind, want.kind) << "family " << family << " action " << a;
      if (want.kind == CellKind::kAs) {
        EXPECT_EQ(got.as, want.as) << "family " << family << " action " << a;
      }
    }
  }
}

TEST(DispatchPlan, CodesOutsideTheTablePlanNothing) {
  for (int family : {-1, 58, 1000}) {
    for (int a = 0; a < app::kActionCount; ++a) {
      EXPECT_EQ(app::PlannedCell(family, static_cast<Action>(a)).kind, CellKind::kNone);
    }
  }
}

TEST(DispatchPlan, SharedCellsPointAtAFamilyThatOwnsTheRoutine) {
  for (int family = 0; family < app::kFamilyCount; ++family) {
    for (int a = 0; a < app::kActionCount; ++a) {
      const app::PlanCell cell = app::PlannedCell(family, static_cast<Action>(a));
      if (cell.kind != CellKind::kAs) continue;
      EXPECT_EQ(app::PlannedCell(cell.as, static_cast<Action>(a)).kind, CellKind::kOwn)
          << "family " << family << " action " << a << " shares family " << cell.as;
    }
  }
}

// The built-in registry against the plan. Families still being written may
// leave their own cells empty; whatever is registered must fit the plan, and
// every default cell must hold the default routine.
TEST(DispatchPlan, RegistryFollowsThePlan) {
  const app::FamilyRegistry& registry = app::Families();
  for (int family = 0; family < app::kFamilyCount; ++family) {
    for (int a = 0; a < app::kActionCount; ++a) {
      const auto action = static_cast<Action>(a);
      const app::PlanCell cell = app::PlannedCell(family, action);
      const app::Routine routine = registry.Find(family, action);
      const app::Routine fallback = app::DefaultRoutineFor(action);
      SCOPED_TRACE("family " + std::to_string(family) + " action " +
                   std::string(app::ActionName(action)));
      switch (cell.kind) {
        case CellKind::kNone:
        case CellKind::kNoneSilent:
          EXPECT_EQ(routine, nullptr);
          break;
        case CellKind::kDefault:
          ASSERT_NE(fallback, nullptr);
          EXPECT_EQ(routine, fallback);
          break;
        case CellKind::kOwn:
          if (routine != nullptr && fallback != nullptr) {
            EXPECT_NE(routine, fallback);
          }
          break;
        case CellKind::kAs: {
          const app::Routine shared = registry.Find(cell.as, action);
          // Empty until the sharing family registers it; once there, the very
          // same routine.
          if (routine != nullptr) {
            EXPECT_EQ(routine, shared);
          }
          break;
        }
      }
    }
  }
}

TEST(DispatchPlan, DefaultRegistrationFillsOnlyDefaultCells) {
  app::FamilyRegistry registry;
  app::RegisterDefaultRoutines(registry);
  int filled = 0;
  for (int family = 0; family < app::kFamilyCount; ++family) {
    for (int a = 0; a < app::kActionCount; ++a) {
      const auto action = static_cast<Action>(a);
      const bool planned = app::PlannedCell(family, action).kind == CellKind::kDefault;
      EXPECT_EQ(registry.Find(family, action) != nullptr, planned)
          << "family " << family << " action " << a;
      filled += planned ? 1 : 0;
    }
  }
  EXPECT_EQ(filled, 57);  // 17 read, 18 verify, 22 blank check
}

}  // namespace
