// Catalogue entries: static and non-volatile RAM, and the sector protection tools.
// Captions are kept character for character, blanks included: they are what
// the menu shows and what is stored as the chosen device's name.
#include "app/catalogue.h"

namespace app::catalogue_parts {
namespace {

using namespace entry;
using enum HandlerId;

// clang-format off
constexpr CatalogueEntry kEntries[] = {
    Group("SRAM"),
      Item("6116      2KB", 1, SRAM_Click),
      Item("6264      8KB", 2, SRAM_Click),
      Item("62256    32KB", 3, SRAM_Click),
      Item("62512    64KB", 4, SRAM_Click),
      Item("628128  128KB", 5, SRAM_Click),
      Inert("628512  512KB", 0, kDisabled),
      Inert("684000  (512KB)", 0, kDisabled),
    End(),

    Group("DS12xx/TimerKeeper"),
      Item("DS1220  2KB", 1, DS12XX_Click),
      Item("DS1225  8KB", 2, DS12XX_Click),
      Item("DS1230  32KB", 3, DS12XX_Click),
      Item("DS1245  128KB", 4, DS12XX_Click),
      Item("DS1249  256KB", 5, DS12XX_Click),
      Separator(),
      Item("M48T02/12   2KB", 201, DS12XX_Click, kDisabled),
      Item("M48T08/18   8KB", 202, DS12XX_Click, kDisabled),
      Item("M48T35       32KB", 205, DS12XX_Click, kDisabled),
      Item("M48T128      128KB", 208, DS12XX_Click, kDisabled),
      Item("M48T512      512KB", 210, DS12XX_Click, kDisabled),
      Separator(),
      Item("M48T58        8KB", 203, DS12XX_Click, kDisabled),
      Item("M48T59        8KB", 204, DS12XX_Click, kDisabled),
      Item("M48T37       32KB", 206, DS12XX_Click, kDisabled),
      Item("M48T39       32KB", 207, DS12XX_Click, kDisabled),
      Item("M48T129      128KB", 209, DS12XX_Click, kDisabled),
      Inert("M48T513      512KB", 0, kDisabled),
    End(),

    Group("Unprotect 29F0x0"),
      Group("AMD"),
        Item("Am29F040 Die 98403/6", 302, EN29F002T_Click),
        Item("Am29F040 Die 98401", 301, EN29F002T_Click),
      End(),
      Group("EON", kDisabled),
        Item("EN29F002T", 203, EN29F002T_Click),
        Item("EN29F002B", 202, EN29F002T_Click),
        Item("EN29F040", 201, EN29F002T_Click),
      End(),
      Group("ST ", kDisabled),
        Item("M29F010", 102, EN29F002T_Click),
        Item("M29F020", 103, EN29F002T_Click),
        Item("M29F040", 104, EN29F002T_Click),
      End(),
    End(),

    Group("Un/Protect 29LVx00 "),
      Group("Hynix ( Hyundai )"),
        Item("HY29LV400T", 101, HY29LV1601Click),
        Item("HY29LV400B", 102, HY29LV1601Click),
        Item("HY29LV800T", 103, HY29LV1601Click),
        Item("HY29LV800B", 104, HY29LV1601Click),
        Item("HY29LV160T", 105, HY29LV1601Click),
        Item("HY29LV160B", 106, HY29LV1601Click),
      End(),
      Group("TOSHIBA"),
        Item("TC58VFT160", 201, HY29LV1601Click, kDisabled),
        Item("TC58FVB160", 202, HY29LV1601Click, kDisabled),
        Item("TC58FVT321", 203, HY29LV1601Click, kDisabled),
        Item("TC58FVB321", 204, HY29LV1601Click, kDisabled),
        Item("TC58FVT641", 205, HY29LV1601Click, kDisabled),
        Item("TC58FVB641", 206, HY29LV1601Click, kDisabled),
      End(),
      Group("Fujitsu"),
        Item("MBM29LV160T", 105, HY29LV1601Click),
        Item("MBM29LV160B", 106, HY29LV1601Click),
      End(),
      Group("AMD"),
        Item("AM29LV200B T", 107, HY29LV1601Click),
        Item("AM29LV200B B", 108, HY29LV1601Click),
        Item("AM29LV400B T", 101, HY29LV1601Click),
        Item("AM29LV400B B", 102, HY29LV1601Click),
        Item("AM29LV800 T", 103, HY29LV1601Click),
        Item("AM29LV800 B", 104, HY29LV1601Click),
        Item("AM29LV160 T", 105, HY29LV1601Click),
        Item("AM29LV160 B", 106, HY29LV1601Click),
      End(),
    End(),

    Separator(),

    Label("--- Serial programming ---"),
};
// clang-format on

}  // namespace

std::span<const CatalogueEntry> RamProtectEntries() { return kEntries; }

}  // namespace app::catalogue_parts
