#pragma once

// The simulated chip file: a chip's cells and the rest of its non-volatile
// state, kept between runs (`--sim-chip`).
//
//   daraz-sim-chip 1\n
//   model NAME\n           Chip::ModelName()
//   device CAPTION\n       the device the chip was made for (may be empty)
//   section cells LENGTH\n LENGTH raw bytes (the cells come first)
//   section NAME LENGTH\n  LENGTH raw bytes, one per Chip::State() section
//   end\n
//
// A file that does not start with the first line is an older plain file of
// cells and loads as such.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sim/chip.h"

namespace sim {

inline constexpr std::string_view kChipFileMagic = "daraz-sim-chip";
inline constexpr int kChipFileVersion = 1;
inline constexpr std::string_view kCellsSection = "cells";

std::vector<uint8_t> EncodeChipFile(const Chip& chip, std::string_view device);

// Loads `file` into `chip`, all or nothing: on any error the chip is left
// as it was and the error text is returned (empty on success). The model
// must match, and the device too when both `device` and the file name one;
// every section must be one the model has (Chip::State() lists them).
std::string DecodeChipFile(const std::vector<uint8_t>& file, Chip& chip, std::string_view device);

}  // namespace sim
