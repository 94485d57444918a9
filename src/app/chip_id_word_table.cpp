// Identification codes of the 16-bit flash chips read in word mode:
// manufacturer word, device word. Parts whose code is not known for certain
// are left out and show an empty device name.

#include "app/chip_id.h"

namespace app {
namespace {

constexpr uint8_t kS = chip_flag::kSectorProtect;

constexpr ChipDevice kAmd[] = {
    {0x22D9, " Am29F100T"},       {0x22DF, " Am29F100B"},       {0x2251, " Am29F200T"},
    {0x2257, " Am29F200B"},       {0x2223, " Am29F400T"},       {0x22AB, " Am29F400B"},
    {0x22D6, " Am29F800T"},       {0x2258, " Am29F800B"},       {0x223B, " Am29LV200BT", kS},
    {0x22BF, " Am29LV200BB", kS}, {0x22B9, " Am29LV400BT", kS}, {0x22BA, " Am29LV400BB", kS},
    {0x22DA, " Am29LV800T", kS},  {0x225B, " Am29LV800B", kS},  {0x22C4, " Am29LV160T", kS},
    {0x2249, " Am29LV160B", kS},  {0x22F6, " Am29LV320T", kS},  {0x2255, " Am29DL322DT"},
    {0x2256, " Am29DL322DB"},     {0x2250, " Am29DL323DT"},     {0x2253, " Am29DL323DB"},
    {0x225C, " Am29DL324DT"},     {0x225F, " Am29DL324DB"},
};

constexpr ChipDevice kFujitsu[] = {
    {0x2251, " MBM29F200T"},      {0x2257, " MBM29F200B"},      {0x2223, " MBM29F400T"},
    {0x22AB, " MBM29F400B"},      {0x22D6, " MBM29F800T"},      {0x2258, " MBM29F800B"},
    {0x22D2, " MBM29F160T"},      {0x22D8, " MBM29F160B"},      {0x223B, " MBM29LV200T"},
    {0x22BF, " MBM29LV200B"},     {0x22DA, " MBM29LV800T"},     {0x225B, " MBM29LV800B"},
    {0x22C4, " MBM29LV160T", kS}, {0x2249, " MBM29LV160B", kS}, {0x22F6, " MBM29LV320T"},
    {0x22F9, " MBM29LV320B"},     {0x220C, " MBM29DL400TC"},    {0x220F, " MBM29DL400BC"},
    {0x224A, " MBM29DL800TA"},    {0x22CB, " MBM29DL800BA"},    {0x2255, " MBM29DL322T"},
    {0x2256, " MBM29DL322B"},     {0x2250, " MBM29DL323T"},     {0x2253, " MBM29DL323B"},
    {0x225C, " MBM29DL324T"},     {0x225F, " MBM29DL324B"},
};

constexpr ChipDevice kEon[] = {
    {0x22D6, " EN29F800T"},  {0x2258, " EN29F800B"},  {0x22B9, " EN29LV400T"},
    {0x22BA, " EN29LV400B"}, {0x22DA, " EN29LV800T"}, {0x225B, " EN29LV800B"},
    {0x22C4, " EN29LV160T"}, {0x2249, " EN29LV160B"}, {0x22F6, " EN29LV320T"},
    {0x22F9, " EN29LV320B"},
};

constexpr ChipDevice kAtmel[] = {
    {0x00C0, " AT49BV/LV16x4A"},
    {0x00C2, " AT49BV/LV16x4AT"},
    {0x00C8, " AT49BV/LV32x"},
    {0x00C9, " AT49BV/LV32xT"},
};

constexpr ChipDevice kSt[] = {
    {0x22CA, " M29W320T"}, {0x22CB, " M29W320B"}, {0x22C4, " M29W160T"}, {0x2249, " M29W160B"},
    {0x22D7, " M29W800T"}, {0x225B, " M29W800B"}, {0x00EE, " M29W400T"}, {0x00EF, " M29W400B"},
    {0x0051, " M29W200T"}, {0x0057, " M29W200B"}, {0x00EC, " M29F800T"}, {0x0058, " M29F800B"},
    {0x00D5, " M29F400T"}, {0x00D6, " M29F400B"}, {0x00D3, " M29F200T"}, {0x00D4, " M29F200B"},
};

constexpr ChipDevice kIntel[] = {
    {0x88C0, " 28F800 C3T"}, {0x88C1, " 28F800 C3B"}, {0x88C2, " 28F160 C3T"},
    {0x88C3, " 28F160 C3B"}, {0x88C4, " 28F320 C3T"}, {0x88C5, " 28F320 C3B"},
    {0x88CC, " 28F640 C3T"}, {0x88CD, " 28F640 C3B"}, {0x8894, " 28F400 B3T"},
    {0x8895, " 28F400 B3B"}, {0x8892, " 28F800 B3T"}, {0x8893, " 28F800 B3B"},
    {0x8890, " 28F160 B3T"}, {0x8891, " 28F160 B3B"}, {0x8896, " 28F320 B3T"},
    {0x8897, " 28F320 B3B"}, {0x8898, " 28F640 B3T"}, {0x8899, " 28F640 B3B"},
    {0x0018, " 28F128 J3"},  {0x0016, " 28F320 J3"},  {0x0017, " 28F640 J3"},
};

constexpr ChipDevice kToshiba[] = {
    {0x00C2, " TC58FVT160", kS},
    {0x0043, " TC58FVB160", kS},
};

constexpr ChipDevice kSst[] = {
    {0x2789, " SST39LF/VF200A"},
    {0x2780, " SST39LF/VF400A"},
    {0x2781, " SST39LF/VF800A"},
    {0x2782, " SST39LF/VF160"},
};

constexpr ChipManufacturer kWordTable[] = {
    {0x0001, " AMD", kAmd},         {0x0004, " Fujitsu", kFujitsu}, {0x001C, " EON", kEon},
    {0x001F, " ATMEL", kAtmel},     {0x0020, " ST Micro", kSt},     {0x0089, " Intel", kIntel},
    {0x0098, " TOSHIBA", kToshiba}, {0x00B0, " SHARP", {}},         {0x00BF, " SST/Sanyo", kSst},
    {0x00DA, " Winbond", {}},
};

}  // namespace

std::span<const ChipManufacturer> WordChipTable() { return kWordTable; }

}  // namespace app
