// Every built-in family registers its selection handlers and routines here.
#include "app/dispatch.h"
#include "app/dispatch_plan.h"

namespace app {

void RegisterAllFamilies(FamilyRegistry& registry) {
  RegisterDefaultRoutines(registry);  // first: the families fill the rest
  // One line per family group, e.g. RegisterUvEprom(registry);
}

}  // namespace app
