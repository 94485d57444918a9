// The names of the PIC18 configuration bits by device group, from the
// configuration-register tables of the groups' datasheets. A leading '#'
// marks a bit that enables its function when 0.
#include <array>

#include "families/mcu/pic18_config.h"

namespace families::pic18 {
namespace {

// Bits 7 .. 0 of one configuration byte.
using Byte = std::array<const char*, 8>;
using Register = std::array<Byte, 14>;  // CONFIG1L .. CONFIG7H

constexpr const char* _ = "-";
constexpr Byte kNone = {_, _, _, _, _, _, _, _};

// CONFIG5L .. CONFIG7H with four 8 K (or smaller) blocks, two, eight or one.
constexpr Byte kCp4 = {_, _, _, _, "CP3", "CP2", "CP1", "CP0"};
constexpr Byte kWrt4 = {_, _, _, _, "WRT3", "WRT2", "WRT1", "WRT0"};
constexpr Byte kEbtr4 = {_, _, _, _, "EBTR3", "EBTR2", "EBTR1", "EBTR0"};
constexpr Byte kCp2 = {_, _, _, _, _, _, "CP1", "CP0"};
constexpr Byte kWrt2 = {_, _, _, _, _, _, "WRT1", "WRT0"};
constexpr Byte kEbtr2 = {_, _, _, _, _, _, "EBTR1", "EBTR0"};
constexpr Byte kCp8 = {"CP7", "CP6", "CP5", "CP4", "CP3", "CP2", "CP1", "CP0"};
constexpr Byte kWrt8 = {"WRT7", "WRT6", "WRT5", "WRT4", "WRT3", "WRT2", "WRT1", "WRT0"};
constexpr Byte kEbtr8 = {"EBTR7", "EBTR6", "EBTR5", "EBTR4", "EBTR3", "EBTR2", "EBTR1", "EBTR0"};
constexpr Byte kCp5H = {"CPD", "CPB", _, _, _, _, _, _};
constexpr Byte kWrt6H = {"WRTD", "WRTB", "WRTC", _, _, _, _, _};
constexpr Byte kEbtr7H = {_, "EBTRB", _, _, _, _, _, _};

constexpr Byte kOscSwitch = {_, _, "#OSCEN", _, _, "FOSC2", "FOSC1", "FOSC0"};
constexpr Byte kOscFailSafe = {"IESO", "FCMEN", _, _, "FOSC3", "FOSC2", "FOSC1", "FOSC0"};
constexpr Byte kBor2 = {_, _, _, _, "BORV1", "BORV0", "BOREN", "#PWRTEN"};
constexpr Byte kBor3 = {_, _, _, "BORV1", "BORV0", "BOREN1", "BOREN0", "#PWRTEN"};
constexpr Byte kWdt3 = {_, _, _, _, "WDTPS2", "WDTPS1", "WDTPS0", "WDTEN"};
constexpr Byte kWdt4 = {_, _, _, "WDTPS3", "WDTPS2", "WDTPS1", "WDTPS0", "WDTEN"};
constexpr Byte kDebugLvp = {"#DEBUG", _, _, _, _, "LVP", _, "STVREN"};

// clang-format off
// 18Fxx2, 18Fxx8, 18Fxx39.
constexpr Register kXx2 = {
    kNone, kOscSwitch, kBor2, kWdt3,
    kNone, Byte{_, _, _, _, _, _, _, "CCP2MX"}, kDebugLvp, kNone,
    kCp4, kCp5H, kWrt4, kWrt6H, kEbtr4, kEbtr7H};
// 18F1220 .. 18F4320.
constexpr Register kX220 = {
    kNone, Byte{"IESO", "FSCM", _, _, "FOSC3", "FOSC2", "FOSC1", "FOSC0"}, kBor2, kWdt4,
    kNone, Byte{"MCLRE", _, _, _, _, _, "PBAD", "CCP2MX"}, kDebugLvp, kNone,
    kCp2, kCp5H, kWrt2, kWrt6H, kEbtr2, kEbtr7H};
// 18F6520 .. 18F8720, 18F6525 .. 18F8680: the external bus of the 80-pin
// parts in CONFIG3L.
constexpr Register kXx20 = {
    kNone, kOscSwitch, kBor2, kWdt3,
    Byte{"WAIT", _, _, _, _, _, "PM1", "PM0"}, Byte{_, _, _, _, _, _, _, "CCP2MX"}, kDebugLvp, kNone,
    kCp8, kCp5H, kWrt8, kWrt6H, kEbtr8, kEbtr7H};
// 18F2331 .. 18F4431: the motor-control PWM and pin multiplexing.
constexpr Register kXx31 = {
    kNone, kOscFailSafe, kBor2,
    Byte{_, _, "WINEN", "WDPS3", "WDPS2", "WDPS1", "WDPS0", "WDTEN"},
    Byte{_, _, "T1OSCMX", "HPOL", "LPOL", "PWMPIN", _, _},
    Byte{"MCLRE", _, _, "EXCLKMX", "PWM4MX", "SSPMX", _, "FLTAMX"}, kDebugLvp, kNone,
    kCp4, kCp5H, kWrt4, kWrt6H, kEbtr4, kEbtr7H};
// 18F6410 .. 18F8490: one code-protect bit, no write or read protection.
constexpr Register kX410 = {
    kNone, kOscFailSafe, kBor3, kWdt4,
    kNone, Byte{"MCLRE", _, _, _, _, _, "LPT1OSC", "CCP2MX"},
    Byte{"#DEBUG", _, _, _, _, _, _, "STVREN"}, kNone,
    Byte{_, _, _, _, _, _, _, "CP0"}, kCp5H, kNone, kNone, kNone, kNone};
// 18F2410 .. 18F4680.
constexpr Register kX4xx = {
    kNone, kOscFailSafe, kBor3, kWdt4,
    kNone, Byte{"MCLRE", _, _, _, _, "LPT1OSC", "PBADEN", "CCP2MX"},
    Byte{"#DEBUG", "XINST", _, _, _, "LVP", _, "STVREN"}, kNone,
    kCp4, kCp5H, kWrt4, kWrt6H, kEbtr4, kEbtr7H};
// 18F2455/2550/4455/4550: as 18F2410 .. 18F4680, with the USB and CPU
// clock dividers and the USB voltage regulator.
constexpr Register kUsb = {
    Byte{_, _, "USBDIV", "CPUDIV1", "CPUDIV0", "PLLDIV2", "PLLDIV1", "PLLDIV0"}, kOscFailSafe,
    Byte{_, _, "VREGEN", "BORV1", "BORV0", "BOREN1", "BOREN0", "#PWRTEN"}, kWdt4,
    kNone, Byte{"MCLRE", _, _, _, _, "LPT1OSC", "PBADEN", "CCP2MX"},
    Byte{"#DEBUG", "XINST", _, _, _, "LVP", _, "STVREN"}, kNone,
    kCp4, kCp5H, kWrt4, kWrt6H, kEbtr4, kEbtr7H};
// clang-format on

struct GroupCaptions {
  int first, last;  // Tags
  const Register* names;
};

constexpr GroupCaptions kGroups[] = {
    {101, 108, &kXx2},  {111, 116, &kX220}, {121, 126, &kXx20}, {131, 134, &kXx2},
    {141, 144, &kXx31}, {151, 164, &kXx20}, {171, 174, &kX410}, {183, 183, &kUsb},
    {189, 189, &kUsb},  {197, 197, &kUsb},  {203, 203, &kUsb},  {181, 216, &kX4xx},
};

}  // namespace

const char* ConfigBitCaption(int tag, int k, int bit) {
  if (k < 0 || k >= 14 || bit < 0 || bit > 7) return _;
  for (const GroupCaptions& group : kGroups) {
    if (tag >= group.first && tag <= group.last) return (*group.names)[k][7 - bit];
  }
  return _;
}

}  // namespace families::pic18
