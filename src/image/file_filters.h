#pragma once

// The file-type lists of the load and save dialogs, as data for the front
// doors. Patterns are upper case; the dialogs match them without regard to
// case.

#include <span>
#include <string_view>

namespace image {

struct FileFilter {
  std::string_view label;                      // as shown in the list
  std::span<const std::string_view> patterns;  // "*.BIN", ...
};

inline constexpr std::string_view kOpenDialogTitle = "Select Daraz file to Load";

// The open dialog's list; kOpenDefaultFilter ("All Daraz Files") is
// preselected. Its patterns include every extension that names a format
// (FormatForPath).
std::span<const FileFilter> OpenFilters();
inline constexpr int kOpenDefaultFilter = 3;

// The save dialog's list; entry i is SaveType i + 1.
std::span<const FileFilter> SaveFilters();

}  // namespace image
