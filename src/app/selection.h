#pragma once

#include <array>
#include <string>
#include <string_view>

#include "app/dispatch.h"

namespace app {

class Programmer;

// --- the common frame every family handler runs ------------------------------

// Steps 1 to 3 of a selection: store the Tag, show the caption in edDevice,
// then BeginDeviceSelection.
void StartSelection(Programmer& p, const SelectItem& item);
// Steps 5 and 6: a Tag of 0 restores the previous device and returns false;
// otherwise sets the family type code, keeps tWP and tWC as the device's own
// timing, runs UpdateAddressBits (unless the handler fixed the address bits
// itself) and ShowSwitchSettings(pattern).
bool FinishSelection(Programmer& p, int family, int pattern);

void BeginDeviceSelection(Programmer& p);
void RestoreDeviceSelection(Programmer& p);
void UpdateAddressBits(Programmer& p);
void ShowSwitchSettings(Programmer& p, int number);

// --- switch patterns ------------------------------------------------------------

inline constexpr int kSwitchPatternCount = 43;
// Jumper digit then switches 1..12 ('1' = ON); empty for the numbers that
// keep the pattern shown before (15, 17, 22, 23).
std::string_view SwitchPattern(int number);
// The thirteen pictures of a pattern: the jumper picture (3, 4 or 5), then
// for each switch picture 1 for '0' and 2 for '1', swapped when the board
// flag is set. The status refresh sets the flag, and the artwork draws
// picture 1 as ON, so a '1' shows ON on the board this program drives.
std::array<int, 13> SwitchPictures(std::string_view pattern, bool board_flag);

// --- the settings panels by family (the option part of the status refresh) -----

void RedrawSettingsPanels(Programmer& p);

// --- choosing a device ------------------------------------------------------------

// Runs the handler for an item. An item with Tag 0 keeps the previous device
// exactly (descriptor, sizes, offset, option state); only the caption in
// edDevice changes.
void SelectDevice(Programmer& p, HandlerId handler, const SelectItem& item);

// The handler a stored family type code re-selects through, kNone for codes
// that select nothing.
HandlerId HandlerForFamily(int family);

// Start-up re-selection: call the family's handler with the stored device
// code, then show the stored caption. With no stored device code, selects
// the 29F020 (family 4, code 106).
void ReselectByCode(Programmer& p, int family, int device_code, const std::string& caption);

}  // namespace app
