#include "sim/flash_common.h"

#include <algorithm>

namespace sim {

bool FlashBus::Decode(const Pins& pins, FlashEdges& e) {
  if (seen_ && pins.ctrl == ctrl_) return false;
  const bool power = pins.power();
  const bool vpp = !pins.strobe();
  const bool oe_low = !pins.drive();
  const bool we_low = pins.program();
  e = FlashEdges{};
  if (!seen_) {
    // The first look only records the lines.
    seen_ = true;
  } else {
    e.power_on = power && !power_;
    e.power_off = !power && power_;
    e.vpp_on = vpp && !vpp_;
    e.vpp_off = !vpp && vpp_;
    e.oe_fall = oe_low && !oe_low_;
    e.oe_rise = !oe_low && oe_low_;
    if (we_low && !we_low_ && !oe_low) {
      e.write_start = true;
      writing_ = true;
      write_address_ = pins.address;
      write_start_ns_ = pins.time_ns;
      address_since_at_start_ns_ = pins.address_since_ns;
    } else if (!we_low && we_low_) {
      if (writing_ && !oe_low) {
        e.commit = true;
      } else if (writing_) {
        e.commit_oe_low = true;
      }
      writing_ = false;
    }
  }
  if (e.power_on) power_since_ns_ = pins.time_ns;
  if (!oe_low && oe_low_) drive_since_ns_ = pins.time_ns;
  if (e.power_off) writing_ = false;
  ctrl_ = pins.ctrl;
  power_ = power;
  vpp_ = vpp;
  oe_low_ = oe_low;
  we_low_ = we_low;
  return true;
}

const char* FlashBus::CheckWrite(const Pins& pins, const WriteTiming& t) const {
  if (pins.time_ns - write_start_ns_ < t.pulse_ns) return "write pulse shorter than tWP";
  if (write_start_ns_ - address_since_at_start_ns_ < t.address_setup_ns) {
    return "address setup before WE# shorter than tAS";
  }
  if (pins.address_since_ns > write_start_ns_ &&
      pins.address_since_ns - write_start_ns_ < t.address_hold_ns) {
    return "address changed within tAH after WE#";
  }
  const int64_t data_since = std::max(pins.data_since_ns, drive_since_ns_);
  if (pins.time_ns - data_since < t.data_setup_ns) {
    return "data setup before the end of WE# shorter than tDS";
  }
  return nullptr;
}

void FlashCells::Erase(uint32_t first, uint32_t count) {
  const uint32_t end = std::min<uint64_t>(uint64_t{first} + count, size());
  std::fill(cells_.begin() + first, cells_.begin() + end, 0xFF);
}

bool FlashCells::Erases(uint32_t first, uint32_t count) const {
  const uint64_t end = uint64_t{first} + count;
  for (const auto& [index, stuck] : stuck_) {
    if (index >= first && index < end && stuck.and_mask != 0xFF) return false;
  }
  return true;
}

bool FlashCells::AddStuck(uint32_t address, int bit, int level) {
  if (bit < 0 || bit > 7) return false;
  Stuck& s = stuck_[Index(address)];
  const auto mask = static_cast<uint8_t>(1u << bit);
  if (level != 0) {
    s.or_mask |= mask;
  } else {
    s.and_mask = static_cast<uint8_t>(s.and_mask & ~mask);
  }
  return true;
}

void FlashCells::Load(const std::vector<uint8_t>& bytes) {
  std::fill(cells_.begin(), cells_.end(), 0xFF);
  std::copy_n(bytes.begin(), std::min(bytes.size(), cells_.size()), cells_.begin());
}

SectorMap::SectorMap(std::span<const SectorRun> runs, uint32_t size) {
  uint32_t address = 0;
  for (const SectorRun& run : runs) {
    for (uint32_t i = 0; i < run.count && address < size; ++i) {
      starts_.push_back(address);
      address += run.size;
    }
  }
  // A part without a map is one sector; a map short of the part ends in
  // one more sector that reaches the end.
  if (starts_.empty() || address < size) starts_.push_back(address < size ? address : 0);
  starts_.push_back(size);
}

int SectorMap::Find(uint32_t index) const {
  const auto it = std::upper_bound(starts_.begin(), starts_.end() - 1, index);
  return static_cast<int>(it - starts_.begin()) - 1;
}

int64_t SlowCells::ScaleRange(uint32_t first, uint32_t count, int64_t ns) const {
  int factor = 1;
  const uint64_t end = uint64_t{first} + count;
  for (const auto& [index, f] : factors_) {
    if (index >= first && index < end) factor = std::max(factor, f);
  }
  return ns * factor;
}

}  // namespace sim
