#pragma once

// The board's lines moved by hand for the flash model tests: a write cycle
// (address, OE# high, data, WE# pulse), a read cycle, Vpp, waits in
// microseconds.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "hw/bus.h"
#include "sim/board.h"

namespace daraz_test {

class FlashLines : public ::testing::Test {
 protected:
  FlashLines() { bus.SetPort(&board); }

  template <typename ChipT>
  ChipT* Insert(std::unique_ptr<ChipT> chip, bool power = true) {
    ChipT* raw = chip.get();
    board.InsertChip(std::move(chip));
    if (power) bus.PowerUp();
    return raw;
  }

  void Bit(int n, bool v) {
    bus.SetCtrl(n, v);
    bus.WriteCtrl();
  }
  void Vpp(bool on) { Bit(hw::ctrl::kStrobe, !on); }
  void WaitUs(int64_t us) { board.clock().WaitUntil(board.clock().now_ns() + us * 1000); }

  // One write cycle: the address, then OE# high and the byte, then WE#.
  void Write(uint32_t address, uint8_t data) {
    bus.ShiftAddress(address);
    Bit(hw::ctrl::kDrive, true);
    bus.WriteBusByte(data);
    bus.ProgramPulse(1);
    bus.WriteData();  // the byte off the data register before the bus is released
  }
  void Writes(std::initializer_list<std::pair<uint32_t, uint8_t>> cycles) {
    for (const auto& [address, data] : cycles) Write(address, data);
  }
  // One read cycle at an address.
  uint8_t Read(uint32_t address) { return bus.ReadCycle(address, 1); }

  bool Logged(const std::string& text) const {
    const std::vector<std::string> all = board.violations();
    return std::find(all.begin(), all.end(), text) != all.end();
  }

  sim::Board board;
  hw::SilentReporter reporter;
  hw::Bus bus{board.clock(), reporter};
};

}  // namespace daraz_test
