// The configuration-bit table of the PIC10/12/16 parts, one row per
// algorithm number, and the texts of the three lists by name group. Values
// are the configuration-word bits from the parts' datasheets; rows for
// algorithm numbers no device uses are empty (no items, no boxes).
#include <iterator>

#include "families/mcu/pic_config.h"

namespace families::pic {
namespace {

// --- list texts by name group ------------------------------------------------
enum Group : uint8_t {
  kNone,
  kOscLpXtHsRc,    // FOSC1:0
  kOscLpXtIntExt,  // 12-bit FOSC1:0
  kOscFosc2High,   // FOSC2 in bit 4: 0..3, 0x10..0x13
  kOscFosc2Low,    // FOSC2:0 in bits 2:0
  kOsc12C67x,      // FOSC2:0, code 3 reserved
  kOscIntRc,       // 10F200/202/204/206: internal only
  kOscIntRcSpeed,  // 10F220/222: IOSCFS
  kCpAllOff,       // one bit (or every CP bit at once)
  kCpQuarters,     // CP1:CP0 with upper 3/4 and upper half
  kCpUpper256,     // 16F87x: upper 256 words, upper half
  kBorModes,       // BOREN1:0
  kWrtRanges,      // WRT1:0 of the 16F87xA
  kWrtRanges1k,    // WRT1:0 of the 16F818/819, 16F87/88
  kBorVoltages,    // BORV1:0
  kBorVoltage716,  // BORV of the 16F716
  kGroupCount
};

using T = std::string_view;
constexpr T kOsc4[] = {" LP", " XT", " HS", " RC"};
constexpr T kOsc12[] = {" LP", " XT", " IntRC", " ExtRC"};
constexpr T kOsc8High[] = {" LP",        " XT",           " HS",     " EC",
                           " IntRC I/O", " IntRC CLKOUT", " ER I/O", " ER CLKOUT"};
constexpr T kOsc8Low[] = {" LP",        " XT",           " HS",     " EC",
                          " IntRC I/O", " IntRC CLKOUT", " RC I/O", " RC CLKOUT"};
constexpr T kOsc67x[] = {" LP",        " XT",           " HS",        " reserved",
                         " IntRC I/O", " IntRC CLKOUT", " ExtRC I/O", " ExtRC CLKOUT"};
constexpr T kOscInt[] = {" IntRC"};
constexpr T kOscIntSpeed[] = {" IntRC 4 MHz", " IntRC 8 MHz"};
constexpr T kCp2[] = {" CP ALL", " CP OFF"};
constexpr T kCpQ[] = {" CP ALL", " Upper 3/4", " Upper 1/2", " CP OFF"};
constexpr T kCp256[] = {" CP ALL", " Upper 256", " Upper 1/2", " CP OFF"};
constexpr T kBor[] = {" BOR off", " BOR SBOREN", " BOR not Sleep", " BOR on"};
constexpr T kWrt[] = {" 0000h-0FFFh", " 0000h-07FFh", " 0000h-00FFh", " WRT OFF"};
constexpr T kWrt1k[] = {" 0000h-03FFh", " 0000h-01FFh", " 0000h-00FFh", " WRT OFF"};
constexpr T kBorv[] = {" BOR 4.5V", " BOR 4.2V", " BOR 2.7V", " BOR 2.0V"};
constexpr T kBorv716[] = {" BOR 4.0V", " BOR 2.5V"};

constexpr std::span<const T> kGroups[kGroupCount] = {
    {},   kOsc4, kOsc12, kOsc8High, kOsc8Low, kOsc67x, kOscInt, kOscIntSpeed,
    kCp2, kCpQ,  kCp256, kBor,      kWrt,     kWrt1k,  kBorv,   kBorv716,
};

// --- the rows --------------------------------------------------------------
// Box masks in the order WatchDog, Power-up Timer, MCLR enable, Brown-out
// Enable, LowVoltage Prog., CP EEPROM, WRT, Debugger.
struct Row {
  ConfigRow bits;
  Group osc, cp, bo;
};

constexpr std::array<uint16_t, 8> kFosc4{0, 1, 2, 3};
constexpr std::array<uint16_t, 8> kFosc8{0, 1, 2, 3, 4, 5, 6, 7};
constexpr std::array<uint16_t, 8> kFoscHigh{0, 1, 2, 3, 0x10, 0x11, 0x12, 0x13};
constexpr std::array<uint16_t, 4> kNoBo{};

// 12C508/509, 12F508/509: FOSC1:0, WDTE 2, CP 3 (0 protects), MCLRE 4.
constexpr Row k12C508{
    {{0x0000, 0x0008}, kFosc4, kNoBo, {0x0004, 0, 0x0010}}, kOscLpXtIntExt, kCpAllOff, kNone};
// 16C62x and alike: FOSC1:0, WDTE, /PWRTE, CP1:CP0 in 5:4 and 13:8, BODEN.
constexpr Row k16C62x{
    {{0x0000, 0x3F30}, kFosc4, kNoBo, {0x0004, 0x8008, 0, 0x0040}}, kOscLpXtHsRc, kCpAllOff, kNone};
// 16C55x, 16C745/765, 16C92x: the same bits without a brown-out enable.
constexpr Row k16C55x{
    {{0x0000, 0x3F30}, kFosc4, kNoBo, {0x0004, 0x8008}}, kOscLpXtHsRc, kCpAllOff, kNone};
// 16C84, 16F83/84(A), 16CR83/84: FOSC1:0, WDTE, /PWRTE, CP in 13:4.
constexpr Row k16F84{
    {{0x0000, 0x3FF0}, kFosc4, kNoBo, {0x0004, 0x8008}}, kOscLpXtHsRc, kCpAllOff, kNone};
// 16F627/628: as the 16F627A with CP1:CP0 in 13:12 and 11:10. MCLRE set
// means the pin is MCLR and a clear /CPD protects the data memory, so the
// boxes take 0x0020 and 0x8100 as on the A parts: with the inverted masks an
// unchecked "CP EEPROM" would protect the data EEPROM.
constexpr Row k16F628{{{0x0000, 0x1400, 0x2800, 0x3C00},
                       kFoscHigh,
                       kNoBo,
                       {0x0004, 0x8008, 0x0020, 0x0040, 0x0080, 0x8100}},
                      kOscFosc2High,
                      kCpQuarters,
                      kNone};
// 16F870..877: CP1:CP0 in 5:4 and 13:12, /CPD 8, WRT 9, /DEBUG 11.
constexpr Row k16F87x{{{0x0000, 0x1010, 0x2020, 0x3030},
                       kFosc4,
                       kNoBo,
                       {0x0004, 0x8008, 0, 0x0040, 0x0080, 0x8100, 0x0200, 0x8800}},
                      kOscLpXtHsRc,
                      kCpUpper256,
                      kNone};
// 16C710/711: CP in 13:7 and 5:4 (bit 6 is BODEN).
constexpr Row k16C71x{
    {{0x0000, 0x3FB0}, kFosc4, kNoBo, {0x0004, 0x8008, 0, 0x0040}}, kOscLpXtHsRc, kCpAllOff, kNone};
// 16C505, 16F505: FOSC2:0, WDTE 3, CP 4, MCLRE 5.
constexpr Row k16F505{
    {{0x0000, 0x0010}, kFosc8, kNoBo, {0x0008, 0, 0x0020}}, kOscFosc2Low, kCpAllOff, kNone};
// 16F873A..877A: CP 13, /DEBUG 11, WRT1:0 in the third list, /CPD 8.
constexpr Row k16F87xA{{{0x0000, 0x2000},
                        kFosc4,
                        {0x0000, 0x0200, 0x0400, 0x0600},
                        {0x0004, 0x8008, 0, 0x0040, 0x0080, 0x8100, 0, 0x8800}},
                       kOscLpXtHsRc,
                       kCpAllOff,
                       kWrtRanges};
// 12C671/672, 16C433: FOSC2:0, WDTE 3, /PWRTE 4, CP1:CP0 in 6:5 and 13:8,
// MCLRE 7.
constexpr Row k12C67x{
    {{0x0000, 0x3F60}, kFosc8, kNoBo, {0x0008, 0x8010, 0x0080}}, kOsc12C67x, kCpAllOff, kNone};
// 16F627A/628A/648A: FOSC2 in bit 4, MCLRE 5, BOREN 6, LVP 7, /CPD 8, CP 13.
constexpr Row k16F628A{
    {{0x0000, 0x2000}, kFoscHigh, kNoBo, {0x0004, 0x8008, 0x0020, 0x0040, 0x0080, 0x8100}},
    kOscFosc2High,
    kCpAllOff,
    kNone};
// 12F629/675, 16F630/676: FOSC2:0, WDTE 3, /PWRTE 4, MCLRE 5, BODEN 6,
// CP 7, /CPD 8 (band gap 13:12 is the chip's own).
constexpr Row k12F629{
    {{0x0000, 0x0080}, kFosc8, kNoBo, {0x0008, 0x8010, 0x0020, 0x0040, 0, 0x8100}},
    kOscFosc2Low,
    kCpAllOff,
    kNone};
// 16F818/819, 16F87/88: WRT1:0 in 10:9, CCPMX 12 on the WRT box, /DEBUG 11.
constexpr Row k16F818{{{0x0000, 0x2000},
                       kFoscHigh,
                       {0x0000, 0x0200, 0x0400, 0x0600},
                       {0x0004, 0x8008, 0x0020, 0x0040, 0x0080, 0x8100, 0x1000, 0x8800}},
                      kOscFosc2High,
                      kCpAllOff,
                      kWrtRanges1k};
// 12F683, 16F684/688/785, 12F635/16F636: FOSC2:0, WDTE 3, /PWRTE 4,
// MCLRE 5, CP 6, /CPD 7, BOREN1:0 in 9:8.
constexpr Row k12F683{{{0x0000, 0x0040},
                       kFosc8,
                       {0x0000, 0x0100, 0x0200, 0x0300},
                       {0x0008, 0x8010, 0x0020, 0, 0, 0x8080}},
                      kOscFosc2Low,
                      kCpAllOff,
                      kBorModes};
// 16F913..946: as the 12F683 with /DEBUG in bit 12.
constexpr Row k16F91x{{{0x0000, 0x0040},
                       kFosc8,
                       {0x0000, 0x0100, 0x0200, 0x0300},
                       {0x0008, 0x8010, 0x0020, 0, 0, 0x8080, 0, 0x9000}},
                      kOscFosc2Low,
                      kCpAllOff,
                      kBorModes};
// 16F72..77: FOSC1:0, WDTE, /PWRTE, CP 4, BOREN 6.
constexpr Row k16F7x{
    {{0x0000, 0x0010}, kFosc4, kNoBo, {0x0004, 0x8008, 0, 0x0040}}, kOscLpXtHsRc, kCpAllOff, kNone};
// 16F737..777: FOSC2 in bit 4, MCLRE 5, BOREN 6, BORV1:0 in 8:7, /DEBUG 11,
// CCPMX 12, CP 13.
constexpr Row k16F7x7{{{0x0000, 0x2000},
                       kFoscHigh,
                       {0x0000, 0x0080, 0x0100, 0x0180},
                       {0x0004, 0x8008, 0x0020, 0x0040, 0, 0, 0x1000, 0x8800}},
                      kOscFosc2High,
                      kCpAllOff,
                      kBorVoltages};
// 10F200/202/204/206: WDTE 2, CP 3, MCLRE 4; no oscillator choice.
constexpr Row k10F200{
    {{0x0000, 0x0008}, {0}, kNoBo, {0x0004, 0, 0x0010}}, kOscIntRc, kCpAllOff, kNone};
// 16F54, 16F57/59: FOSC1:0, WDTE 2, CP 3.
constexpr Row k16F54{{{0x0000, 0x0008}, kFosc4, kNoBo, {0x0004}}, kOscLpXtHsRc, kCpAllOff, kNone};
// 16C61/71: FOSC1:0, WDTE 2, PWRTE 3 (1 enables on these parts), CP 4.
constexpr Row k16C61{
    {{0x0000, 0x0010}, kFosc4, kNoBo, {0x0004, 0x0008}}, kOscLpXtHsRc, kCpAllOff, kNone};
// 16C62/64/65/73/74: PWRTE 3 (1 enables), CP1:CP0 in 5:4.
constexpr Row k16C62{{{0x0000, 0x0010, 0x0020, 0x0030}, kFosc4, kNoBo, {0x0004, 0x0008}},
                     kOscLpXtHsRc,
                     kCpQuarters,
                     kNone};
// 16F716: BOREN 6, BORV 7, CP 13.
constexpr Row k16F716{{{0x0000, 0x2000}, kFosc4, {0x0000, 0x0080}, {0x0004, 0x8008, 0, 0x0040}},
                      kOscLpXtHsRc,
                      kCpAllOff,
                      kBorVoltage716};
// 10F220/222: IOSCFS 0 in the oscillator list, WDTE 2, CP 3, MCLRE 4.
constexpr Row k10F220{
    {{0x0000, 0x0008}, {0, 1}, kNoBo, {0x0004, 0, 0x0010}}, kOscIntRcSpeed, kCpAllOff, kNone};
// 16F506: as the 16F505 (IOSCFS in bit 6 stays 0: 4 MHz).
constexpr Row kEmpty{{}, kNone, kNone, kNone};

// clang-format off
constexpr Row kRows[kConfigRows] = {
    /* 0 */ k12C508,  /* 1 */ k16C62x,  /* 2 */ k16C62x,  /* 3 */ k16C62x,
    /* 4 */ k16F84,   /* 5 */ k16F628,  /* 6 */ k16F87x,  /* 7 */ k16F87x,
    /* 8 */ k16C71x,  /* 9 */ k16F505,  /* 10 */ k16F87xA, /* 11 */ k12C67x,
    /* 12 */ k12C67x, /* 13 */ k16F628A, /* 14 */ k12F629, /* 15 */ k16F818,
    /* 16 */ k12F683, /* 17 */ k12F683, /* 18 */ k16F7x,  /* 19 */ k16F7x7,
    /* 20 */ k16F818, /* 21 */ k12C508, /* 22 */ k10F200, /* 23 */ k16F54,
    /* 24 */ k16F505, /* 25 */ k16C61,  /* 26 */ k16C62,  /* 27 */ k16C62x,
    /* 28 */ k16C55x, /* 29 */ k16C55x, /* 30 */ k16C55x, /* 31 */ k16C55x,
    /* 32 */ k16C55x, /* 33 */ k16C62x, /* 34 */ k12C67x, /* 35 */ k16F716,
    /* 36 */ k16F84,  /* 37 */ kEmpty,  /* 38 */ k16F91x, /* 39 */ k12C508,
    /* 40 */ k10F220, /* 41 */ k16F505, /* 42 */ k16F54,  /* 43 */ kEmpty,
};
// clang-format on

const Row& RowFor(int algorithm) {
  return algorithm >= 0 && algorithm < kConfigRows ? kRows[algorithm] : kEmpty;
}

}  // namespace

const ConfigRow& ConfigRowFor(int algorithm) { return RowFor(algorithm).bits; }

std::span<const std::string_view> ListTexts(int algorithm, ListKind kind) {
  const Row& row = RowFor(algorithm);
  switch (kind) {
    case ListKind::kOscillator:
      return kGroups[row.osc];
    case ListKind::kCodeProtect:
      return kGroups[row.cp];
    case ListKind::kBrownOut:
      return kGroups[row.bo];
  }
  return {};
}

}  // namespace families::pic
