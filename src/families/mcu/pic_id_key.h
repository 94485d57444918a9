#pragma once

#include "app/dispatch.h"

namespace families {

// `--set id=HEX` (shorthand `--id`): the ID locations of the selected PIC,
// as its panel's ID field takes them.
void RegisterPicIdKey(app::FamilyRegistry& registry);

}  // namespace families
