#pragma once

// The serially programmed PIC10/12/16 parts (ICSP): the bit-level
// primitives, and the routines the dispatch runs for family type codes 16,
// 17, 18 and 53.

#include <cstdint>
#include <string>

#include "app/dispatch.h"
#include "app/programmer.h"

namespace families::pic {

// --- primitives: PGD is data bit 0, PGC data bit 1, VPP control bit 0
// (applied while cleared), VDD the power bit; control bit 1 is set while the
// chip is in programming mode. Waits are in DelayTicks.
void PicSendBit(app::Programmer& p, bool b);
bool PicReadBit(app::Programmer& p);
void PicCommand(app::Programmer& p, int code);
void PicSendData(app::Programmer& p, uint16_t word);
uint16_t PicReadData(app::Programmer& p);
void PicEnterVddFirst(app::Programmer& p);
void PicEnterVppFirst(app::Programmer& p);
void PicExit(app::Programmer& p);

// Command codes of the mid-range core.
namespace cmd {
inline constexpr int kLoadConfig = 0;
inline constexpr int kLoadProgram = 2;
inline constexpr int kLoadData = 3;
inline constexpr int kReadProgram = 4;
inline constexpr int kReadData = 5;
inline constexpr int kIncrement = 6;
inline constexpr int kBeginErase = 8;
inline constexpr int kBeginProgramOnly = 24;
inline constexpr int kBulkEraseProgram = 9;
inline constexpr int kBulkEraseData = 11;
inline constexpr int kChipErase = 31;
inline constexpr int kEndProgramming = 14;
inline constexpr int kEndProgramming23 = 23;
}  // namespace cmd

// A write time in microseconds as DelayTicks.
inline int32_t UsToTicks(int us) { return static_cast<int32_t>(us * 1.193182 + 1); }

// Command then a data frame; command then a read frame.
void PicLoad(app::Programmer& p, int code, uint16_t word);
uint16_t PicRead(app::Programmer& p, int code);
void PicIncrement(app::Programmer& p, int times = 1);
// Programming mode (VDD first), Load Configuration with an erased word,
// then `increments` up the configuration space (7: the configuration word).
void EnterAtConfig(app::Programmer& p, int increments);

// 12F629/675, 16F630/676: a RETLW with the oscillator calibration in the
// last program word, the band-gap bits (13:12) in the configuration word.
inline constexpr int kOsccalAlgorithm = 14;
inline constexpr uint32_t kOsccalWord = 0x3FF;
inline constexpr uint16_t kBandGap = 0x3000;
struct Calibration {
  uint16_t osccal = 0x3FFF;
  uint16_t band_gap = kBandGap;
};
Calibration ReadCalibration(app::Programmer& p);
void WriteCalibration(app::Programmer& p, const Calibration& cal);
// When the image's OSCCAL word differs from the chip's, the control
// kOsccalSource decides: the chip's value (the image takes it, so the word
// loop writes it back), the file's, the question (a window's user), or,
// where nobody may answer it, false: nothing is programmed.
inline constexpr char kOsccalSource[] = "cbOSCCALsource";
inline constexpr int kOsccalAsk = 0;
inline constexpr int kOsccalFromChip = 1;
inline constexpr int kOsccalFromFile = 2;
inline constexpr int kOsccalUnanswered = 3;
bool KeepOsccal(app::Programmer& p, const Calibration& cal);
// The bulk erase of algorithm 14's program, entered VPP first.
void EraseOwnVppFirst(app::Programmer& p);

// --- the 12-bit core (families 18 and 53) ---------------------------------------
inline constexpr uint16_t kMask12 = 0x0FFF;
inline bool IsPic12(const app::Programmer& p) { return p.dev.family == 18 || p.dev.family == 53; }
// The program words (all but a calibration word) against the image;
// "Error at $%6x" names the first that differs.
bool VerifyPic12Words(app::Programmer& p);
// The flash erase: OSCCAL and its backup read, the bulk erase with the PC
// in the ID area, both written back.
void EraseFlashPic12(app::Programmer& p);
// The bulk erase alone: program memory, configuration, IDs and backup.
void BulkErasePic12(app::Programmer& p);
// The MOVLW calibration word of the 12-bit flash parts and its backup after
// the IDs (kMask12: none).
struct Osccal12 {
  uint16_t word = kMask12;
  uint16_t backup = kMask12;
};
bool IsMovlw(uint16_t word);
// Reads both; a lost word takes the backup's value.
Osccal12 ReadOsccal12(app::Programmer& p);
// Writes each that is not kMask12 (the cells must be erased).
void WriteOsccal12(app::Programmer& p, const Osccal12& cal);
// Erase, program words and IDs, verify, configuration word.
bool ProgramFlashPic12(app::Programmer& p);

// What a blank check adds up: the program words it covers, the
// configuration word and, where the checksum takes it, the second one.
struct BlankSum {
  uint32_t sum = 0;
  uint16_t config = 0;
  uint16_t config2 = 0;
};
BlankSum BlankSumPic12(app::Programmer& p, uint32_t counted);

// The erase by the selected row's algorithm number (ends with PicExit).
void EraseByAlgorithm(app::Programmer& p, int algorithm);
// Verify of program and data memory; true when everything compared equal.
bool VerifyAreas(app::Programmer& p);

// --- routines ------------------------------------------------------------------
void ReadPic(app::Programmer& p);
void VerifyPic(app::Programmer& p);
void BlankCheckPic(app::Programmer& p);
void ErasePic(app::Programmer& p);
void ProgramPic(app::Programmer& p);
void ProgramOtpPic(app::Programmer& p);
void DeviceIdPic(app::Programmer& p);
void ReadPic12(app::Programmer& p);
// The end of a read: programming mode left, the board at rest, then either
// "Process Cancelled" or the image marked full, `report` (if any) and
// "PIC dumped OK".
void FinishPicRead(app::Programmer& p, bool cancelled, void (*report)(app::Programmer&) = nullptr);
void VerifyPic12(app::Programmer& p);
void ProgramOtpPic12(app::Programmer& p);

// The name of a 14-bit part by its device ID (ID & 0x3FE0); empty when unknown.
const char* PicDeviceName(uint16_t id);

// The device-ID window of an identification, mid-range (word 2006h, 14
// bits) or PIC18 (0x3FFFFE/F, 16 bits): its title, the value, the bits in
// two groups (device, revision), the revision and the part's name.
struct DeviceIdWindow {
  std::string title;
  std::string value;   // " 0x0427"
  std::string binary;  // "00000100001 00111"
  int revision = 0;    // the low five bits
  std::string name;    // " PIC 18F452/4539", or the family's unknown text
};
DeviceIdWindow DescribeDeviceId(int family, uint16_t id);
// The control an identification leaves its value in (index: the ID, text:
// the window's title); index -1 until one ran for the chosen part.
inline constexpr char kDeviceIdControl[] = "frmPICDevID";
// Shows the window, keeps the ID for the front doors and reports the value.
void ShowDeviceId(app::Programmer& p, uint16_t id);
// On choosing a part: no identification has run for it yet.
void ForgetDeviceId(app::Programmer& p);

}  // namespace families::pic

namespace families {
// The dispatch cells of the 14-bit and 12-bit parts (16, 17, 18, 53).
void RegisterPic(app::FamilyRegistry& registry);
// The panel's `--set` keys.
void RegisterPicKeys(app::FamilyRegistry& registry);
}  // namespace families
