// Identification codes of the SPI flash chips. The key is the memory-type
// byte and the capacity byte of the 0x9F identification (memory type << 8 |
// capacity). Older parts that only answer the 0x90, 0xAB or 0x15 command
// give a manufacturer and a single device byte; the Get ID routine passes
// them with a memory type of 0, so they are keyed by the device byte alone.

#include "app/chip_id.h"

namespace app {
namespace {

constexpr ChipDevice kSpansion[] = {
    {0x0212, " S25FL004A/040A"}, {0x0213, " S25FL008A"}, {0x0214, " S25FL016A"},
    {0x0215, " S25FL032A"},      {0x0216, " S25FL064A"},
};

constexpr ChipDevice kEon[] = {
    {0x2010, " EN25B(P)05"}, {0x2011, " EN25B(P)10"}, {0x2012, " EN25B(P)20"},
    {0x2013, " EN25B(P)40"}, {0x2014, " EN25B(P)80"}, {0x2015, " EN25B(P)16"},
    {0x2016, " EN25B(P)32"}, {0x2017, " EN25B(P)64"}, {0x3014, " EN25D80"},
    {0x3015, " EN25D16"},    {0x3112, " EN25F20"},    {0x3113, " EN25F40"},
    {0x3114, " EN25F80"},    {0x3115, " EN25F16"},
};

constexpr ChipDevice kAtmel[] = {
    {0x0065, " AT25F512"},   {0x0060, " AT25F1024"},  {0x0063, " AT25F2048"},
    {0x6601, " AT25FS010"},  {0x0400, " AT26F004"},   {0x4300, " AT25DF021"},
    {0x4401, " AT25DF041A"}, {0x4502, " AT25DF081"},  {0x4602, " AT25DF161"},
    {0x4701, " AT25DF321A"}, {0x4800, " AT25DF641"},  {0x4400, " AT26DF041"},
    {0x4501, " AT26DF081A"}, {0x4601, " AT26DF161A"}, {0x4700, " AT25/AT26DF321"},
    {0x2200, " AT45DB011D"}, {0x2300, " AT45DB021D"}, {0x2400, " AT45DB041D"},
    {0x2500, " AT45DB081D"}, {0x2600, " AT45DB161D"}, {0x2701, " AT45DB321D"},
    {0x2800, " AT45DB641D"},
};

constexpr ChipDevice kNumonyx[] = {
    {0x2010, " M25P05"},  {0x2011, " M25P10"},  {0x2012, " M25P20"},  {0x2013, " M25P40"},
    {0x2014, " M25P80"},  {0x2015, " M25P16"},  {0x2016, " M25P32"},  {0x2017, " M25P64"},
    {0x4011, " M45PE10"}, {0x4012, " M45PE20"}, {0x4013, " M45PE40"}, {0x4014, " M45PE80"},
    {0x4015, " M45PE16"}, {0x7114, " M25PX80"}, {0x7115, " M25PX16"}, {0x7116, " M25PX32"},
    {0x7117, " M25PX64"}, {0x8011, " M25PE10"}, {0x8012, " M25PE20"}, {0x8013, " M25PE40"},
    {0x8014, " M25PE80"},
};

constexpr ChipDevice kAmic[] = {
    {0x3010, " A25L512"}, {0x3011, " A25L010"}, {0x3012, " A25L020"}, {0x3013, " A25L040"},
    {0x3014, " A25L080"}, {0x3015, " A25L016"}, {0x3016, " A25L032"},
};

constexpr ChipDevice kEsmt[] = {
    {0x2013, " F25L004A"},
    {0x2014, " F25L008A/08PA"},
    {0x2015, " F25L016A/16PA"},
    {0x2016, " F25L32PA"},
};

constexpr ChipDevice kPmc[] = {
    {0x007B, " Pm25LV512"}, {0x007C, " Pm25LV010"}, {0x007D, " Pm25LV020"},
    {0x007E, " Pm25LV040"}, {0x0013, " Pm25LV080"}, {0x0014, " Pm25LV016"},
};

constexpr ChipDevice kSst[] = {
    {0x0048, " SST25VF512"},   {0x0049, " SST25VF010"},   {0x0043, " SST25LF(VF)020"},
    {0x0044, " SST25LF040"},   {0x0080, " SST25LF080A"},  {0x258D, " SST25VF040 x"},
    {0x258E, " SST25VF080 x"}, {0x2541, " SST25VF016 x"}, {0x254A, " SST25VF032 x"},
};

constexpr ChipDevice kMxic[] = {
    {0x2010, " MX25L512"},   {0x2011, " MX25L1005"},  {0x2012, " MX25L2005"},
    {0x2013, " MX25L4005A"}, {0x2014, " MX25L8005A"}, {0x2015, " MX25L1605"},
    {0x2016, " MX25L3205"},  {0x2017, " MX25L6405"},
};

constexpr ChipDevice kWinbond[] = {
    {0x2014, " W25P80"},  {0x2015, " W25P16"},  {0x2016, " W25P32"},  {0x3011, " W25X010"},
    {0x3012, " W25X020"}, {0x3013, " W25X040"}, {0x3014, " W25X080"}, {0x3015, " W25X16"},
    {0x3016, " W25X32"},  {0x3017, " W25X64"},
};

constexpr ChipManufacturer kSpiTable[] = {
    {0x01, " SPANSION", kSpansion}, {0x1C, " EON", kEon},      {0x1F, " ATMEL", kAtmel},
    {0x20, " Numonyx", kNumonyx},   {0x29, " MicroChip", {}},  {0x37, " AMIC", kAmic},
    {0x8C, " ESMT", kEsmt},         {0x9D, " pFLASH", kPmc},   {0xBF, " SST", kSst},
    {0xC2, " MXIC", kMxic},         {0xC8, " GigaDevice", {}}, {0xEF, " WINBOND", kWinbond},
};

}  // namespace

std::span<const ChipManufacturer> SpiChipTable() { return kSpiTable; }

}  // namespace app
