// Every built-in family registers its selection handlers and routines here.
#include "app/dispatch.h"

namespace app {

void RegisterAllFamilies(FamilyRegistry& registry) {
  (void)registry;
  // One line per family group, e.g. RegisterUvEprom(registry);
}

}  // namespace app
