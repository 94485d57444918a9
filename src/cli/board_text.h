#pragma once

#include <string>
#include <string_view>

namespace cli {

// The jumper and the twelve DIP switches of a switch pattern, drawn as text
// the way they sit on the board:
//
//   Jumper: 4   (Vpp)
//        1   2   3   4   5   6   7   8   9  10  11  12
//   ON  [#] [#] [ ] ...
//   OFF [ ] [ ] [#] ...
std::string DrawBoardSettings(std::string_view pattern, bool board_flag, std::string_view jumper_caption);

// "110101001000": '1' for ON, switch 1 first, as the board needs it set
// (the board flag only changes the pictures, not the setting).
std::string SwitchString(std::string_view pattern);

}  // namespace cli
