#pragma once

// The PIC panel's own commands beside the six actions: the OSCCAL window
// (read, edit and write the factory oscillator calibration) and the
// calibration words 0x2008/0x2009 of the 16F684 and its kin. Each runs
// through the action frame (app::RunExtraAction).

#include <cstdint>
#include <optional>
#include <string_view>

#include "app/programmer.h"

namespace families::pic {

// Which calibration instruction the selected row keeps: a RETLW in word
// 0x3FF with the band gap in the configuration word (12F629/675,
// 16F630/676), a MOVLW in the last word with a backup after the IDs (the
// calibrated 12-bit flash parts), or none (the tool is disabled).
enum class OsccalKind { kNone, kRetlw, kMovlw };
OsccalKind OsccalKindOf(const app::Programmer& p);

// The window's controls.
inline constexpr char kOsccalEdit[] = "edOSCCAL";       // the instruction word, "%04X"
inline constexpr char kOsccalSecond[] = "edOSCCALbak";  // band gap or backup word
inline constexpr char kOsccalSecondLabel[] = "lbOSCCALbak";

// A hex number as the edits hold it ("3458", "0x58", "0C24H"); empty or not
// hex: nothing.
std::optional<uint16_t> ParseHexWord(std::string_view text);
// The word a typed OSCCAL value stands for: a byte takes the row's
// instruction, a whole word must be of that instruction.
std::optional<uint16_t> OsccalWordFor(OsccalKind kind, uint16_t value);

// Routines (run through the frame by the buttons below).
void ReadOsccalTool(app::Programmer& p);
// Erases the chip (program memory and data go), then writes the edited
// OSCCAL (and on MOVLW parts the backup edit, else the backup read) and
// reads it back.
void WriteOsccalTool(app::Programmer& p);
void btnOSCCALClick(app::Programmer& p);  // opens the window and reads
void btnOSCCALrdClick(app::Programmer& p);
void btnOSCCALwrClick(app::Programmer& p);

// The calibration words at 0x2008/0x2009.
bool HasCalibrationWords(const app::Programmer& p);
inline constexpr char kCalib2008[] = "ed0X2008";
inline constexpr char kCalib2009[] = "ed0X2009";
void ReadCalibrationWords(app::Programmer& p);
// Asks first; reads both words, erases (8201 when the second word was
// edited, else 8200; either takes both), writes both back, each from its
// edit when one is given, else the value read.
void WriteCalibrationWords(app::Programmer& p);
void btnPIC16F684rdClick(app::Programmer& p);
void btnPIC16F684wrClick(app::Programmer& p);

// Enables the window's button and the calibration controls for the row.
void FillToolControls(app::Programmer& p);

}  // namespace families::pic
