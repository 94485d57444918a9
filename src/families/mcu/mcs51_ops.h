#pragma once

// The MCS-51 primitives by sub-type. The actions (mcs51_actions.cpp) are one
// frame for every part; what differs between the parts — how programming
// mode is entered, whether an address counter is stepped, how a byte is
// written and read, how the chip is erased and locked, where the lock bits
// and the signature are read — is a row of this table.

#include <array>
#include <cstdint>
#include <optional>

#include "app/programmer.h"
#include "families/mcu/mcs51.h"
#include "hw/bus.h"

namespace families::mcs51 {

using app::Programmer;

struct Ops {
  void (*enter)(Programmer& p);  // EnterMode
  // NextAddress; nullptr where every byte is addressed explicitly.
  void (*next)(Programmer& p);
  // WriteByte with the write-recovery wait to use; nullptr where the part
  // programs in pages.
  void (*write)(Programmer& p, uint32_t address, uint8_t b, int twc);
  uint8_t (*read)(Programmer& p, uint32_t address);  // ReadByte
  // EraseChip after its gauge: EraseOnce with its repetition, or EraseTwice.
  void (*erase)(Programmer& p);
  // The lock writes for choice 1..3, inside LockChip's frame.
  void (*lock)(Programmer& p, int choice);
  // The lock-bit read; nullptr where the part cannot be read back.
  uint8_t (*read_lock)(Programmer& p);
  std::array<uint8_t, 3> (*signature)(Programmer& p);  // ReadSignature, inside GetId's frame
  // The program action where the part does not use the byte loop.
  void (*program)(Programmer& p);
  // The option group's "Write"; nullptr where the part has none.
  void (*option)(Programmer& p);
};

// The row of a sub-type; nullptr for the sub-types that are not built (4,
// 7, 9, 10: their items are hidden or disabled).
const Ops* OpsFor(int sub_type);
const Ops* OpsFor(const Programmer& p);

// Control bit n := v, written at once.
inline void Bit(hw::Bus& bus, int n, bool v) {
  bus.SetCtrl(n, v);
  bus.WriteCtrl();
}

// The end of every write cycle: data shadow := (data shadow AND 0xFC) OR 4,
// written: shift clock and serial line low, read clock high.
inline void DataTail(hw::Bus& bus) {
  bus.DataShadow() = static_cast<uint8_t>((bus.DataShadow() & 0xFC) | 0x04);
  bus.WriteData();
}

// The Vpp switch comes on before writes when the part takes its 12 V from
// the board (Vpp byte 0xFF).
inline bool BoardVpp(const Programmer& p) { return p.dev.mcs51.vpp_byte == 0xFF; }

// The two ways to erase (mcs51_erase.cpp). EraseOnceRepeated: programming
// mode, one erase pulse of tWPe, and a second round when "tErase" is set.
// EraseTwice: two power cycles with a short erase pulse each.
void EraseOnceRepeated(Programmer& p);
void EraseTwice(Programmer& p);
// The AT89C55WD/RC want a higher Vcc for the erase: a box says so first.
void EraseTwiceAt62V(Programmer& p);

// Sub-type 8's program action (mcs51_page.cpp).
void PageProgram(Programmer& p);

// The primitives of the rows, by adapter (mcs51_40pin.cpp, mcs51_20pin.cpp).
namespace pins40 {
extern const Ops kSubType1, kSubType2, kSubType3, kSubType5, kSubType8;
}
namespace pins20 {
extern const Ops kSubType6;
}

}  // namespace families::mcs51
