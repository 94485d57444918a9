// Catalogue entries: 16-bit flash and the page-write flash groups.
// Captions are kept character for character, blanks included: they are what
// the menu shows and what is stored as the chosen device's name.
#include "app/catalogue.h"

namespace app::catalogue_parts {
namespace {

using namespace entry;
using enum HandlerId;

// clang-format off
constexpr CatalogueEntry kEntries[] = {
    Group("Flash 16 bit (LV) 3.3V"),
      Group("INTEL 28Fx00"),
        Item("28F400 B3T", 101, N28F4001Click),
        Item("28F800 B3T", 103, N28F4001Click),
        Item("28F160 B3T", 105, N28F4001Click),
        Item("28F400 B3B", 102, N28F4001Click),
        Item("28F800 B3B", 104, N28F4001Click),
        Item("28F160 B3B", 106, N28F4001Click),
        Separator(),
        Item("28F800 C3T", 201, N28F4001Click),
        Item("28F160 C3T", 203, N28F4001Click),
        Item("28F320 C3T", 205, N28F4001Click),
        Item("28F800 C3B", 202, N28F4001Click),
        Item("28F160 C3B", 204, N28F4001Click),
        Item("28F320 C3B", 206, N28F4001Click),
        Separator(),
        Item("28F320 J3 ", 301, N28F4001Click),
        Item("28F640 J3", 302, N28F4001Click),
      End(),
      Group("29LVx00"),
        Item("MBM29LV400 -T", 103, MBM29LV160Click),
        Item("MBM29LV400 -B", 103, MBM29LV160Click),
        Item("MBM29LV800 -T", 104, MBM29LV160Click),
        Item("MBM29LV800 -B", 104, MBM29LV160Click),
        Item("MBM29LV160 -T", 105, MBM29LV160Click),
        Item("MBM29LV160 -B", 105, MBM29LV160Click),
        Separator(),
        Item("MBM29DL400", 103, MBM29LV160Click),
        Item("MBM29DL800", 104, MBM29LV160Click),
        Item("MBM29DL16x", 105, MBM29LV160Click),
        Item("MBM29DL32x", 106, MBM29LV160Click),
        Item("Am29DL322", 106, MBM29LV160Click),
      End(),
      Group("SST39LF/VFx00"),
        Item("39LF/VF100", 201, MBM29LV160Click),
        Item("39LF/VF200A", 202, MBM29LV160Click),
        Item("39LF/VF400A", 203, MBM29LV160Click),
        Item("39LF/VF800A", 204, MBM29LV160Click),
        Item("39LF/VF160", 205, MBM29LV160Click),
      End(),
      Group("TSOP40  10x14mm"),
        Item("M29F102", 401, MBM29LV160Click),
        Inert("AT49F1024", 401),
        Separator(),
        Item("M29W102  (3.3V)", 402, MBM29LV160Click),
        Inert("AT49LV1024  (3.3V)", 402),
        Separator(),
        Item("W29C102", 501, MBM29LV160Click),
      End(),
      Group("29Fx00"),
        Item("29F100", 301, MBM29LV160Click),
        Item("29F200", 302, MBM29LV160Click),
        Item("29F400", 303, MBM29LV160Click),
        Item("29F800", 304, MBM29LV160Click),
        Item("29F160", 305, MBM29LV160Click),
        Item("29F320", 306, MBM29LV160Click),
      End(),
    End(),

    Group("Flash  AT29C/29EExxx"),
      Item("AT29C256      (64)", 102, AT29C_Click),
      Item("AT29C257      (64)", 103, AT29C_Click),
      Item("AT29C512      (128)", 104, AT29C_Click),
      Item("AT29C010      (128)", 105, AT29C_Click),
      Item("AT29C020      (256)", 106, AT29C_Click),
      Item("AT29C040A    (256)", 107, AT29C_Click),
      Item("AT29C040      (512)", 108, AT29C_Click),
      Separator(),
      Item("ASD  AE29F1008  (128)", 105, AT29C_Click),
      Item("ASD  AE29F2008  (128)", 109, AT29C_Click),
      Separator(),
      Item("SST PH29EE010   (128)", 202, AT29C_Click),
      Item("SST PH29EE020  (128)", 203, AT29C_Click),
      Separator(),
      Item("W29EE512/C512   (128)", 201, AT29C_Click),
      Item("W29EE011/C010   (128)", 202, AT29C_Click),
      Item("W29EE012            (128)", 202, AT29C_Click),
      Item("W29C020              (128)", 203, AT29C_Click),
      Item("W29C040/C042    (256)", 204, AT29C_Click),
    End(),

    Group("AT49Fxxxx 8/16Bit"),
      Item("AT49LV1024", 501, Am29Fx00_Click),
      Item("AT49F2048A", 502, Am29Fx00_Click),
      Item("AT49F4096A", 503, Am29Fx00_Click),
      Item("AT49F8192A", 504, Am29Fx00_Click),
      Item("AT49F8011", 505, Am29Fx00_Click),
      Item("AT49LV1614", 506, Am29Fx00_Click),
      Item("AT49LV161", 507, Am29Fx00_Click),
      Item("AT49LV321", 508, Am29Fx00_Click),
      Separator(),
      Inert("AT49F1024", 0, kDisabled),
      Inert("AT49F2048", 0, kDisabled),
      Inert("AT49F4096", 0, kDisabled),
    End(),

    Separator(),
};
// clang-format on

}  // namespace

std::span<const CatalogueEntry> FlashWideEntries() { return kEntries; }

}  // namespace app::catalogue_parts
