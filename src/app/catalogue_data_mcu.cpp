// Catalogue entries: MCS-51, MCS-48 and AVR microcontrollers.
// Captions are kept character for character, blanks included: they are what
// the menu shows and what is stored as the chosen device's name.
#include "app/catalogue.h"

namespace app::catalogue_parts {
namespace {

using namespace entry;
using enum HandlerId;

// clang-format off
constexpr CatalogueEntry kEntries[] = {
    Group("MCS-51"),
      Group("AT89C5x"),
        Inert("Autoselect", 1, kDisabled),
        Item("AT89C/LV51       (4KB)", 2, muMCS51_Click),
        Item("AT89C/LV52       (8KB)", 3, muMCS51_Click),
        Item("AT89C/LV55       (20KB)", 4, muMCS51_Click),
        Item("AT89S/LS51       (4KB)", 50, muMCS51_Click),
        Item("AT89S/LS52       (8KB)", 51, muMCS51_Click),
        Item("AT89S/LS8252   (8K+2K)", 5, muMCS51_Click),
        Item("AT89S/LS8253  (12K+2K)", 52, muMCS51_Click),
        Item("AT89S/LS53       (12KB)", 6, muMCS51_Click),
        Item("AT89C55WD (20KB/6.5V)", 7, muMCS51_Click),
        Item("AT89C51RC  (32KB/6.5V)", 8, muMCS51_Click),
        Separator(),
        Item("IS89C52        (8KB)", 3, muMCS51_Click),
        Item("SST89C54    (16KB)", 13, muMCS51_Click),
        Item("SST89C58     (32KB)", 14, muMCS51_Click),
        Separator(),
        Item("i87x51   (4KB)", 9, muMCS51_Click),
        Item("i87x52   (8KB)", 10, muMCS51_Click),
        Item("i87x54   (16KB)", 11, muMCS51_Click),
        Item("i87x58   (32KB)", 12, muMCS51_Click),
      End(),
      Group("AT89Cx051"),
        Inert("Autoselect", 0, kDisabled),
        Item("AT89C1051", 2, AT89Cx051_Click),
        Item("AT89C1051U", 2, AT89Cx051_Click),
        Item("AT89C2051", 3, AT89Cx051_Click),
        Item("AT89C4051", 4, AT89Cx051_Click),
        Item("AT89C2051x2", 5, AT89Cx051_Click),
        Separator(),
        Item("AT89S2051", 6, AT89Cx051_Click, kDisabled),
        Item("AT89S4051", 7, AT89Cx051_Click, kDisabled),
        Separator(),
      End(),
      Group("AT89LPxx52", kDisabled),
        Item("AT89LP2052", 40, AT89Cx051_Click),
        Item("AT89LP4052", 41, AT89Cx051_Click),
      End(),
      // Never shown; the device codes of these items are not recorded.
      Group("P87C/89Cxxxx", kHidden),
        Item("P89C51RA+   (8KB)", 0, muMCS51_Click),
        Item("P89C51RB+   (16KB)", 0, muMCS51_Click),
        Item("P89C51RC+   (32KB)", 0, muMCS51_Click),
        Item("P89C51RD+   (64KB)", 0, muMCS51_Click),
        Inert("P89C51RA2Hxx   (8KB)", 101),
        Item("P89C51RB2Hxx   (16KB)", 0, muMCS51_Click),
        Item("P89C51RC2Hxx   (32KB)", 0, muMCS51_Click),
        Item("P89C51RD2Hxx   (64KB)", 0, muMCS51_Click),
        Item("P89C51RA2Bx   (8KB)", 0, muMCS51_Click),
        Item("P89C51RB2Bx   (16KB)", 0, muMCS51_Click),
        Item("P89C51RC2Bx   (32KB)", 0, muMCS51_Click),
        Item("P89C51RD2Bx   (64KB)", 0, muMCS51_Click),
        Item("P87C51          (4KB)", 0, muMCS51_Click),
        Item("P87C52          (8KB)", 0, muMCS51_Click),
        Item("P87C524        (16KB)", 0, muMCS51_Click),
        Item("P87C528        (32KB)", 0, muMCS51_Click),
      End(),
      // Never shown; the device codes of these items are not recorded.
      Group("Atmel T8xC51Rx", kHidden | kDisabled),
        Inert("T89C51RA"),
        Inert("T89C51RB"),
        Inert("T89C51RC"),
        Inert("T89C51RD"),
      End(),
      // Never shown; the device codes of these items are not recorded.
      Group("INTEL", kHidden | kDisabled),
        Item("i87C51FA", 0, muMCS51_Click),
        Item("i87C51FB", 0, muMCS51_Click),
        Item("i87C51FC", 0, muMCS51_Click),
      End(),
      // Never shown; the device codes of these items are not recorded.
      Group("DALLAS", kHidden),
        Item("DS89C420", 0, muMCS51_Click),
      End(),
    End(),

    Group("MCS-48/41"),
      Group("EPROM (Vea= 18V)"),
        Item("D8748H  Vpp= 21V", 101, D8748_Click),
        Item("D8749H  Vpp= 21V", 102, D8748_Click),
        Separator(),
        Inert("D8741H  Vpp= 21V", 101),
        Item("D8742H  Vpp= 21V", 102, D8748_Click),
      End(),
      Group("OTP      (Vea= 18V)"),
        Item("P8748H  Vpp= 21V", 101, D8748_Click),
        Item("P8749H  Vpp= 21V", 102, D8748_Click),
        Separator(),
        Item("P8741H  Vpp= 21V", 101, D8748_Click),
        Item("P8742H  Vpp= 21V", 102, D8748_Click),
      End(),
      Group("ROM     (Vea= 12V)"),
        Item("P8048AH  Vpp= 15V", 201, D8748_Click),
        Item("P8049AH  Vpp= 15V", 202, D8748_Click),
        Item("P8050AH  Vpp= 15V", 203, D8748_Click),
        Separator(),
        Item("P8041AH  Vpp = 15V", 201, D8748_Click),
        Item("P8042AH  Vpp= 15V", 202, D8748_Click),
      End(),
    End(),

    Group("AVR"),
      Item("AT90S1200   DIP20", 101, AVR_Click),
      Item("AT90S2313   DIP20", 102, AVR_Click),
      Item("AT90S2333   DIP28", 103, AVR_Click),
      Item("AT90S4433   DIP28", 104, AVR_Click),
      Item("AT90S4414   DIP40", 105, AVR_Click),
      Item("AT90S8515   DIP40", 106, AVR_Click),
      Item("AT90S4434   DIP40", 107, AVR_Click),
      Item("AT90S8535   DIP40", 108, AVR_Click),
    End(),
};
// clang-format on

}  // namespace

std::span<const CatalogueEntry> McuEntries() { return kEntries; }

}  // namespace app::catalogue_parts
