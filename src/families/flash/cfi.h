#pragma once

// The CFI report: every field of the query area the last Get ID read, with
// its offset, raw byte and decoded value, as the rows of the report grid.
// It reads no hardware and trusts nothing in the buffer: counts and table
// addresses come from the chip, so every read stays inside the buffer and
// every row written is one the grid has.

#include <array>
#include <span>
#include <string>
#include <vector>

namespace families::flash {

// Grid row r shows query offset r + 15; row 0 is the header.
inline constexpr int kCfiGridRows = 100;
inline constexpr int kCfiFirstOffset = 0x10;  // buffer entry 0

// Columns: description, address, code, decoded value. Unused cells hold " ".
using CfiRow = std::array<std::string, 4>;

// The grid for a buffer (entry k = the byte at query offset 0x10 + k).
// `no_primary`: the device has no primary table worth decoding, so the
// report ends after the erase-block regions.
std::vector<CfiRow> CfiReport(std::span<const int> cfi, bool no_primary);

// The report window's title for the device the last identification named.
std::string CfiTitle(const std::string& device_name);

// The names the report gives to codes, exposed for the front doors.
std::string CfiCommandSetName(unsigned code, bool alternate);
std::string CfiInterfaceName(unsigned code);

}  // namespace families::flash
