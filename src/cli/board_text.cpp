#include "cli/board_text.h"

#include "app/selection.h"

namespace cli {

std::string SwitchString(std::string_view pattern) {
  if (pattern.size() != 13) return std::string(12, '0');
  return std::string(pattern.substr(1));
}

std::string DrawBoardSettings(std::string_view pattern, bool board_flag,
                              std::string_view jumper_caption) {
  if (pattern.size() != 13) return "  (no switch settings shown yet)\n";
  const auto pictures = app::SwitchPictures(pattern, board_flag);
  std::string out = "  Jumper: picture " + std::to_string(pictures[0]) + "  (" +
                    std::string(jumper_caption) + ")\n";
  out += "  DIP    ";
  for (int i = 1; i <= 12; ++i) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%3d ", i);
    out += buf;
  }
  out += "\n";
  for (const bool on_row : {true, false}) {
    out += on_row ? "  ON     " : "  OFF    ";
    for (int i = 1; i <= 12; ++i) {
      const bool on = pattern[i] == '1';
      out += (on == on_row) ? "[#] " : "[ ] ";
    }
    out += "\n";
  }
  return out;
}

}  // namespace cli
