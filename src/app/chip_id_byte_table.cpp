// Identification codes of the 8-bit parallel flash chips: JEDEC manufacturer
// code, then the device code read at address 1 (byte-mode chips: the low
// byte of the device word). A part whose code is not known for certain is
// left out, so it shows an empty device name rather than a wrong one. Where
// two parts answer with the same code only one of them can be named.

#include "app/chip_id.h"

namespace app {
namespace {

constexpr uint8_t kV = chip_flag::kVcc3v3;
constexpr uint8_t kF = chip_flag::kFastMode;
constexpr uint8_t kS = chip_flag::kSectorProtect;

constexpr ChipDevice kAmd[] = {
    {0x20, " Am29F010"},
    {0xA4, " Am29F040"},
    {0xD5, " Am29F080"},
    {0x3D, " Am29F017"},
    {0xAD, " Am29F016"},
    {0x41, " Am29F032"},
    {0xB0, " Am29F002T"},
    {0x34, " Am29F002B"},
    {0x77, " Am29F004T"},
    {0x7B, " Am29F004B"},
    {0xD9, " Am29F100T"},
    {0xDF, " Am29F100B"},
    {0x51, " Am29F200T"},
    {0x57, " Am29F200B"},
    {0x23, " Am29F400T"},
    {0xAB, " Am29F400B"},
    {0xD6, " Am29F800T"},
    {0x58, " Am29F800B"},
    {0xA1, " Am28F256"},
    {0x25, " Am28F512"},
    {0xA7, " Am28F010"},
    {0x2A, " Am28F020"},
    {0x2F, " Am28F256A"},
    {0xAE, " Am28F512A"},
    {0xA2, " Am28F010A"},
    {0x29, " Am28F020A"},
    {0x6E, " Am29LV010", kV},
    {0x4F, " Am29LV040", kV},
    {0x38, " Am29LV081", kV},
    {0xED, " Am29LV001T", kV},
    {0x6D, " Am29LV001B", kV},
    {0x40, " Am29LV002T", kV},
    {0xC2, " Am29LV002B", kV},
    {0xB5, " Am29LV004T", kV},
    {0xB6, " Am29LV004B", kV},
    {0x3E, " Am29LV008T", kV},
    {0x37, " Am29LV008B", kV},
    {0xC8, " Am29LV017B", kV},
    {0xC7, " Am29LV116DT", kV},
    {0x4C, " Am29LV116DB", kV},
    {0x3B, " Am29LV200BT", kV | kS},
    {0xBF, " Am29LV200BB", kV | kS},
    {0xB9, " Am29LV400BT", kV | kS},
    {0xBA, " Am29LV400BB", kV | kS},
    {0xDA, " Am29LV800T", kV | kS},
    {0x5B, " Am29LV800B", kV | kS},
    {0xC4, " Am29LV160T", kV | kS},
    {0x49, " Am29LV160B", kV | kS},
    {0xF6, " Am29LV320T", kV | kS},
    {0x55, " Am29DL322DT", kV},
    {0x56, " Am29DL322DB", kV},
    {0x50, " Am29DL323DT", kV},
    {0x53, " Am29DL323DB", kV},
    {0x5C, " Am29DL324DT", kV},
    {0x5F, " Am29DL324DB", kV},
};

constexpr ChipDevice kFujitsu[] = {
    {0xB0, " MBM29F002T"},
    {0x34, " MBM29F002B"},
    {0x77, " MBM29F004T"},
    {0x7B, " MBM29F004B"},
    {0xA4, " MBM29F040"},
    {0xD5, " MBM29F080"},
    {0xAD, " MBM29F016"},
    {0x3D, " MBM29F017"},
    {0x51, " MBM29F200T"},
    {0x57, " MBM29F200B"},
    {0x23, " MBM29F400T"},
    {0xAB, " MBM29F400B"},
    {0xD6, " MBM29F800T"},
    {0x58, " MBM29F800B"},
    {0xD2, " MBM29F160T"},
    {0xD8, " MBM29F160B"},
    {0x40, " MBM29LV002T", kV},
    {0xC2, " MBM29LV002B", kV},
    {0xB5, " MBM29LV004T", kV},
    {0xB6, " MBM29LV004B", kV},
    {0x3E, " MBM29LV008T", kV},
    {0x37, " MBM29LV008B", kV},
    {0x38, " MBM29LV080", kV},
    {0xC8, " MBM29LV017", kV},
    {0x3B, " MBM29LV200T", kV},
    {0xBF, " MBM29LV200B", kV},
    {0xDA, " MBM29LV800T", kV},
    {0x5B, " MBM29LV800B", kV},
    {0xC4, " MBM29LV160T", kV | kS},
    {0x49, " MBM29LV160B", kV | kS},
    {0xF6, " MBM29LV320T", kV},
    {0xF9, " MBM29LV320B", kV},
};

constexpr ChipDevice kHitachi[] = {
    {0x19, " 28F101T"},
};

constexpr ChipDevice kEon[] = {
    {0x92, " EN29F002T"},  {0x97, " EN29F002B"},  {0x20, " EN29F010"},   {0xD6, " EN29F800T"},
    {0x58, " EN29F800B"},  {0x6E, " EN29LV010"},  {0x4F, " EN29LV040"},  {0xB9, " EN29LV400T"},
    {0xBA, " EN29LV400B"}, {0xDA, " EN29LV800T"}, {0x5B, " EN29LV800B"}, {0xC4, " EN29LV160T"},
    {0x49, " EN29LV160B"}, {0xF6, " EN29LV320T"}, {0xF9, " EN29LV320B"},
};

constexpr ChipDevice kAtmel[] = {
    {0xDC, " AT29C256/257"},     {0x5D, " AT29C512"},          {0x3D, " AT29LV512", kV},
    {0xD5, " AT29C010A"},        {0x35, " AT29LV010A", kV},    {0xDA, " AT29C020"},
    {0xBA, " AT29LV020", kV},    {0x5B, " AT29C040"},          {0xA4, " AT29C040A"},
    {0xC4, " AT29LV040A", kV},   {0x03, " AT49F512"},          {0x17, " AT49F010"},
    {0x13, " AT49F040"},         {0x12, " AT49F040T"},         {0x23, " AT49F080"},
    {0x27, " AT49F080T"},        {0x05, " AT49F001(N)"},       {0x04, " AT49F001(N)T"},
    {0x07, " AT49F002(N)"},      {0x08, " AT49F002(N)T"},      {0xC2, " AT49BV/LV16x4AT", kV},
    {0xC8, " AT49BV/LV32x", kV}, {0xC9, " AT49BV/LV32xT", kV},
};

constexpr ChipDevice kSt[] = {
    {0x20, " M29F010B", kF}, {0xE2, " M29F040B"},   {0xF1, " M29F080"},    {0xB0, " M29F002T"},
    {0x34, " M29F002B"},     {0xD3, " M29F200T"},   {0xD4, " M29F200B"},   {0xD5, " M29F400T"},
    {0xD6, " M29F400B"},     {0xEC, " M29F800T"},   {0x58, " M29F800B"},   {0x23, " M29W010", kF},
    {0xE3, " M29W040", kF},  {0xEA, " M29W004T"},   {0xEB, " M29W004B"},   {0xD2, " M29W008T"},
    {0xDC, " M29W008B"},     {0x51, " M29W200T"},   {0x57, " M29W200B"},   {0xEE, " M29W400T"},
    {0xEF, " M29W400B"},     {0xD7, " M29W800T"},   {0x5B, " M29W800B"},   {0xC4, " M29W160T"},
    {0x49, " M29W160B"},     {0xCA, " M29W320T"},   {0xCB, " M29W320B"},   {0x29, " M50FW002"},
    {0x2C, " M50FW040"},     {0x2D, " M50FW080"},   {0x2E, " M50FW016"},   {0x2F, " M50LPW080"},
    {0x30, " M50LPW116"},    {0x08, " M50FLW040A"}, {0x28, " M50FLW040B"},
};

constexpr ChipDevice kMicron[] = {
    {0x18, " MT28F128J3", kV},
    {0x16, " MT28F320J3", kV},
    {0x17, " MT28F640J3", kV},
};

constexpr ChipDevice kCatalyst[] = {
    {0x94, " CAT28F001T"}, {0x95, " CAT28F001B"}, {0xB8, " CAT28F512"},
    {0xB4, " CAT28F010"},  {0xBD, " CAT28F020"},
};

constexpr ChipDevice kAmic[] = {
    {0x86, " A29040A"},
    {0x8C, " A29002T"},
    {0x0D, " A29002B"},
};

constexpr ChipDevice kAlliance[] = {
    {0xA4, " AS29F040"},
};

constexpr ChipDevice kIntel[] = {
    {0xB8, " 28F512"},        {0xB4, " 28F010"},        {0xBD, " 28F020"},
    {0x94, " 28F001BX-T"},    {0x95, " 28F001BX-B"},    {0x7C, " 28F002BC/BX-T"},
    {0x7D, " 28F002BX-B"},    {0xA7, " 28F004 S5"},     {0xA6, " 28F008 S5"},
    {0xAA, " 28F016 S5"},     {0xA2, " 28F008SA"},      {0xA0, " 28F016 AS"},
    {0xD4, " 28F004B3 -T"},   {0xD5, " 28F004B3 -B"},   {0xD2, " 28F008B3 -T"},
    {0xD3, " 28F008B3 -B"},   {0xD0, " 28F016B3 -T"},   {0xD1, " 28F016B3 -B"},
    {0x78, " 28F004xx-T"},    {0x79, " 28F004xx-B"},    {0x74, " 28F200xx-T"},
    {0x75, " 28F200xx-B"},    {0x70, " 28F400xx-T"},    {0x71, " 28F400xx-B"},
    {0x9C, " 28F800T"},       {0x9D, " 28F800B"},       {0x18, " 28F128 J3", kV},
    {0x16, " 28F320 J3", kV}, {0x17, " 28F640 J3", kV}, {0xAD, " 82802AB"},
    {0xAC, " 82802AC"},
};

constexpr ChipDevice kToshiba[] = {
    {0xC2, " TC58FVT160", kS},
    {0x43, " TC58FVB160", kS},
};

constexpr ChipDevice kPmc[] = {
    {0x1D, " Pm29F002T"}, {0x2D, " Pm29F002B"}, {0x1B, " Pm39LV512R"}, {0x1C, " Pm39LV010,39F010"},
    {0x3D, " Pm39LV020"}, {0x3E, " Pm39LV040"}, {0x4D, " Pm39F020"},   {0x4E, " Pm39F040"},
    {0x6D, " Pm49FL002"}, {0x6E, " Pm49FL004"},
};

constexpr ChipDevice kHynix[] = {
    {0xB0, " HY29F002T"},           {0xA4, " HY29F040A"},           {0xD5, " HY29F080"},
    {0x51, " HY29F200T"},           {0x57, " HY29F200B"},           {0x23, " HY29F400T"},
    {0xAB, " HY29F400B"},           {0xD6, " HY29F800T"},           {0x58, " HY29F800B"},
    {0xB9, " HY29LV400T", kV | kS}, {0xBA, " HY29LV400B", kV | kS}, {0xDA, " HY29LV800T", kV | kS},
    {0x5B, " HY29LV800B", kV | kS}, {0xC4, " HY29LV160T", kV | kS}, {0x49, " HY29LV160B", kV | kS},
};

constexpr ChipDevice kSst[] = {
    {0x5D, " SST29EE512"},        {0x3D, " SST29LE/VE512", kV}, {0x07, " SST29EE010"},
    {0x08, " SST29LE/VE010", kV}, {0x10, " SST29EE020"},        {0x12, " SST29LE/VE020", kV},
    {0x20, " SST29SF512"},        {0x21, " SST29VF512", kV},    {0x22, " SST29SF010"},
    {0x23, " SST29VF010", kV},    {0x24, " SST29SF020"},        {0x25, " SST29VF020", kV},
    {0x13, " SST29SF040"},        {0x14, " SST29VF040", kV},    {0xD4, " SST39LF/VF512", kV},
    {0xD5, " SST39LF/VF010", kV}, {0xD6, " SST39LF/VF020", kV}, {0xD7, " SST39LF/VF040", kV},
    {0xD8, " SST39LF/VF080", kV}, {0xD9, " SST39LF/VF016", kV}, {0xB4, " SST39SF512A"},
    {0xB5, " SST39SF010A"},       {0xB6, " SST39SF020A"},       {0xB7, " SST39SF040A"},
    {0x04, " SST28SF/VF040A"},    {0x57, " SST49LF002A", kV},   {0x1B, " SST49LF003A", kV},
    {0x60, " SST49LF004A", kV},   {0x5A, " SST49LF008A", kV},   {0x61, " SST49LF020", kV},
    {0x51, " SST49LF040", kV},    {0x5B, " SST49LF080A", kV},
};

constexpr ChipDevice kMxic[] = {
    {0xA4, " MX29F040"},       {0xD5, " MX29F080"},       {0x18, " MX29F001T"},
    {0x19, " MX29F001B"},      {0xB0, " MX29F002T"},      {0x34, " MX29F002B"},
    {0x45, " MX29F004T"},      {0x46, " MX29F004B"},      {0xD9, " MX29F100T"},
    {0xDF, " MX29F100B"},      {0x51, " MX29F200T"},      {0x57, " MX29F200B"},
    {0x23, " MX29F400T"},      {0xAB, " MX29F400B"},      {0xD6, " MX29F800T"},
    {0x58, " MX29F800B"},      {0xB5, " MX29LV004T", kV}, {0xB6, " MX29LV004B", kV},
    {0x3E, " MX29LV008T", kV}, {0x37, " MX29LV008B", kV}, {0x38, " MX29LV081", kV},
    {0xC8, " MX29LV017", kV},  {0xB9, " MX29LV400T", kV}, {0xBA, " MX29LV400B", kV},
    {0xDA, " MX29LV800T", kV}, {0x5B, " MX29LV800B", kV}, {0xC4, " MX29LV160T", kV},
    {0x49, " MX29LV160B", kV}, {0xA7, " MX29LV320T", kV}, {0xA8, " MX29LV320B", kV},
    {0x4F, " MX29LV040C", kV},
};

constexpr ChipDevice kWinbond[] = {
    {0xC1, " W29x011"},      {0xC8, " W29EE512"},      {0x45, " W29C020/022, AE29F2008"},
    {0x46, " W29C040"},      {0xA1, " W39F010"},       {0x31, " W39L010", kV},
    {0xB5, " W39L020", kV},  {0xB6, " W39L040", kV},   {0x34, " W39V040FA FWH"},
    {0xB0, " W49V002A LPC"}, {0x32, " W49V002FA FWH"}, {0x8C, " W49F020"},
    {0x0B, " W49F002"},
};

constexpr ChipManufacturer kByteTable[] = {
    {0x01, " AMD", kAmd},
    {0x04, " Fujitsu", kFujitsu},
    {0x07, " HITACHI", kHitachi},
    {0x1C, " EON", kEon},
    {0x1F, " ATMEL", kAtmel},
    {0x20, " ST Micro", kSt},
    {0x2C, " Micron", kMicron},
    {0x31, " CATALYST", kCatalyst},
    {0x37, " AMIC", kAmic},
    {0x40, " SyncMOS/MOSEL", {}},
    {0x42, " SyncMOS/MOSEL", {}},
    {0x52, " ALLIANCE", kAlliance},
    {0x89, " Intel", kIntel},
    {0x97, " TI", {}},
    {0x98, " TOSHIBA", kToshiba},
    {0x9D, " PMC", kPmc},
    {0xAD, " Hynix(Hyundai)", kHynix},
    {0xB0, " SHARP", {}},
    {0xBF, " SST / Sanyo", kSst},
    {0xC2, " MXIC (MACRONIX)", kMxic},
    {0xDA, " Winbond / ASD", kWinbond},
};

}  // namespace

std::span<const ChipManufacturer> ByteChipTable() { return kByteTable; }

}  // namespace app
