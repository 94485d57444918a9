#pragma once

// What the serial families share at the line level: one register bit moved
// and written at once, and the end every serial routine comes to.

#include <cstdint>

#include "app/programmer.h"
#include "hw/bus.h"

namespace families::serial {

inline void CtrlBit(hw::Bus& bus, int bit, bool on) {
  bus.SetCtrl(bit, on);
  bus.WriteCtrl();
}

inline void DataBit(hw::Bus& bus, int bit, bool on) {
  bus.SetData(bit, on);
  bus.WriteData();
}

// The register bits the serial socket uses.
inline constexpr int kSerialClock = hw::data::kSerial;  // data bit 1: SCL, SK, SCK
inline constexpr int kSerialData = hw::data::kClock;    // data bit 0: SDA, DI, SI
inline constexpr uint8_t kStatusIn = 0x80;              // status bit 7: SDA, DO, SO (inverted)

// The text of a read that filled the image, and the caption it leaves.
void ShowReadDone(app::Programmer& p, const char* text);

}  // namespace families::serial
