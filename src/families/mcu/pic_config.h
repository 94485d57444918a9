#pragma once

// The configuration word of the PIC10/12/16 parts as the settings panel
// pPICSettings shows it: three lists (oscillator, code protect, brown-out)
// and eight boxes, composed into the word by the selected row of the
// configuration-bit table, and read back from a word after a file load or a
// chip read. Also the user ID field and the "MCLRE +5V" box.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "app/programmer.h"

namespace families::pic {

// One row of the configuration-bit table, by algorithm number: the values
// of the list items and the box masks. A mask's low 14 bits are the
// configuration bits it stands for; bit 15 set means the box is checked
// when those bits are 0.
struct ConfigRow {
  std::array<uint16_t, 4> code_protect;
  std::array<uint16_t, 8> oscillator;
  std::array<uint16_t, 4> brown_out;
  std::array<uint16_t, 8> masks;
};
inline constexpr int kConfigRows = 44;
inline constexpr uint16_t kMaskInverted = 0x8000;
const ConfigRow& ConfigRowFor(int algorithm);

// The item texts of one list of a row (empty: the list has no items).
enum class ListKind { kOscillator = 0, kCodeProtect = 1, kBrownOut = 2 };
std::span<const std::string_view> ListTexts(int algorithm, ListKind kind);

// The controls, by name.
inline constexpr std::string_view kLists[3] = {"cbPICosc", "cbPICcp", "cbPICbod"};
inline constexpr std::string_view kBoxes[8] = {"cbWDTE", "cbPWRTE", "cbMCLRE", "cbBODEN",
                                               "cbLVP",  "cbCPD",   "cbWRT",   "cbDEBUG"};
inline constexpr char kConfigField[] = "edPIC_cfg";
inline constexpr char kConfigBinary[] = "lbPIC_cfgBin";
inline constexpr char kIdField[] = "edPIC_ID";
inline constexpr char kMclre5[] = "cbMCLRE5";

// The word the lists and boxes compose under `row` (pure, for tests).
uint16_t ComposeConfig(const ConfigRow& row, const std::array<int, 3>& list_index,
                       const std::array<bool, 8>& boxes);
// " 0x%0.4X" and the binary form in groups of four.
std::string ConfigText(uint16_t word);
std::string ConfigBinaryText(uint16_t word, int bits);

// Handlers of the panel. The lists (Tags 101 oscillator, 102 code protect,
// 103 brown-out) and the boxes recompose the word into the image's
// configuration index, the descriptor and edPIC_cfg.
void cbPICChange(app::Programmer& p);
void cbWDTEClick(app::Programmer& p);
// The reverse: lists and boxes from the image's configuration word, the ID
// field from the ID words. Never recomposes: the image stays as it is.
void SetFuses(app::Programmer& p);
// Fills the lists' items and the boxes' enabled state from the selected
// row, then shows the image's word (the selection calls this).
void FillConfigPanel(app::Programmer& p);
// Four hex digits, one nibble into each ID word (first digit, first word).
// False (nothing written) when the text is not four hex digits.
bool SetIdText(app::Programmer& p, std::string_view text);
void edPIC_IDChange(app::Programmer& p);
std::string IdText(const app::Programmer& p);
// "MCLRE +5V": powers the chip (PGD high, PGC low) or takes the power off,
// through the action frame; Program ends the same way while it is checked.
void cbMCLRE5_Click(app::Programmer& p);
void ApplyMclre5(app::Programmer& p);

}  // namespace families::pic
