#pragma once

// The family type codes that the app layer and the front doors test by name.
// The image layer names the families whose image layout differs
// (image/layout.h); the AVR code is taken from there so the two cannot part.

#include "image/layout.h"

namespace app {

inline constexpr int kMcs51Family = 10;
inline constexpr int kAt89Cx051Family = 11;
inline constexpr int kAvrFamily = image::kFamilyAvr;
inline constexpr int kStaticRamFamily = 20;
inline constexpr int kSpiFlashFamily = 57;

}  // namespace app
