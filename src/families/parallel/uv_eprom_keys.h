#pragma once

#include "app/dispatch.h"

namespace families {

// The command line's keys for the EPROM settings panel and the options
// above it: skip-ff, fast, twp, twc.
void RegisterUvEpromKeys(app::FamilyRegistry& registry);

}  // namespace families
