// Signature bytes of the microcontrollers: manufacturer, device and, where
// two parts share the first two, the third signature byte (the serially
// programmable AT89S51/S52 answer like the AT89C51/C52 in their first two
// bytes). Parts whose signature is not known for certain are left out.

#include "app/chip_id.h"

namespace app {
namespace {

constexpr ChipDevice kAtmel[] = {
    {0x11, " AT89C1051"}, {0x12, " AT89C1051U"},       {0x21, " AT89C2051"},
    {0x41, " AT89C4051"}, {0x51, " AT89C51"},          {0x51, " AT89S51", 0, 0x06},
    {0x52, " AT89C52"},   {0x52, " AT89S52", 0, 0x06}, {0x61, " AT89LV51"},
    {0x62, " AT89LV52"},  {0x72, " AT89S8252"},        {0x53, " AT89S53"},
};

constexpr ChipManufacturer kMcuTable[] = {
    {0x15, " PHILIPS", {}}, {0x1E, " ATMEL", kAtmel}, {0x58, " Atmel Wireless", {}},
    {0x89, " intel", {}},   {0xBF, " SST", {}},       {0xD5, " ISSI", {}},
    {0xDA, " DALLAS", {}},
};

// AT90S parts (manufacturer 0x1E): device byte, then the third signature byte.
constexpr ChipDevice kAvr[] = {
    {0x90, " AT90S1200", 0, 0x01},    {0x91, " AT90S2313", 0, 0x01},
    {0x91, " AT90S2323", 0, 0x02},    {0x91, " AT90S2343", 0, 0x03},
    {0x91, " AT90S2333", 0, 0x05},    {0x92, " AT90S/LS4414", 0, 0x01},
    {0x92, " AT90S/LS4434", 0, 0x02}, {0x92, " AT90S/LS4433", 0, 0x03},
    {0x93, " AT90S/LS8515", 0, 0x01}, {0x93, " AT90S/LS8535", 0, 0x03},
};

}  // namespace

std::span<const ChipManufacturer> McuChipTable() { return kMcuTable; }
std::span<const ChipDevice> AvrChipTable() { return kAvr; }

}  // namespace app
