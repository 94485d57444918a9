// Catalogue entries: the 3.3 V adapter section.
// Captions are kept character for character, blanks included: they are what
// the menu shows and what is stored as the chosen device's name.
#include "app/catalogue.h"

namespace app::catalogue_parts {
namespace {

using namespace entry;
using enum HandlerId;

// clang-format off
constexpr CatalogueEntry kEntries[] = {
    Separator(),

    Label(" Request Adapter 3.3V"),

    Group("Flalsh 8/16bit (byte mode)"),
      Label(""),
      Group("intel"),
        Item("28F320J3", 301, i28Fx00_Click),
        Item("28F640J3", 302, i28Fx00_Click),
      End(),
    End(),

    Group("29VF/39LF/VF/49LFxxx"),
      Group("29/39LV0x0 "),
        Item("SST29VF512", 104, M29F_Click),
        Item("SST29VF010", 105, M29F_Click),
        Item("SST29VF020", 106, M29F_Click),
        Item("SST29VF040", 107, M29F_Click),
        Item("SST39LF/VF512", 201, M29F_Click),
        Item("SST39LF/VF010", 202, M29F_Click),
        Item("SST29LF/VF020", 203, M29F_Click),
        Item("SST39LF/VF040", 204, M29F_Click),
        Separator(),
        Item("SyncMOS F29C31001", 202, M29F_Click),
        Item("SyncMOS F29C31002", 203, M29F_Click),
        Item("SyncMOS F29C31004", 204, M29F_Click),
      End(),
      Group("29LVx00  ( 8/16bit )"),
        Item("29LV100", 306, Am29Fx00_Click),
        Item("29LV200", 301, Am29Fx00_Click),
        Item("29LV400", 302, Am29Fx00_Click),
        Item("29LV800", 303, Am29Fx00_Click),
        Item("29LV160", 304, Am29Fx00_Click),
        Item("29LV320", 305, Am29Fx00_Click),
      End(),
    End(),

    // Never shown; the device codes of these items are not recorded.
    Group("AT29LVxxx", kHidden),
      Item("AT29LV256    (64)", 0, AT29C_Click),
      Item("AT29LV512    (128)", 0, AT29C_Click),
      Item("AT29LV010    (128)", 0, AT29C_Click),
      Item("AT29LV020    (256)", 0, AT29C_Click),
      Item("AT29LV040A  (256)", 0, AT29C_Click),
      Item("AT29LV040    (512)", 0, AT29C_Click),
      Item("SST29LE/VE010  (128)", 0, AT29C_Click),
      Item("SST29LE/VE020  (128)", 0, AT29C_Click),
    End(),
};
// clang-format on

}  // namespace

std::span<const CatalogueEntry> LowVoltageEntries() { return kEntries; }

}  // namespace app::catalogue_parts
