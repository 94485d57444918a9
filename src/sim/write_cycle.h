#pragma once

// A self-timed write or erase inside a serial memory: what it will store
// and when it is done. The cells change when the time is up; a power-off
// before that cuts it, and the cells it was writing keep a mix of old and
// new bits.

#include <cstdint>
#include <limits>
#include <map>
#include <vector>

namespace sim {

class WriteCycle {
 public:
  static constexpr int64_t kForever = std::numeric_limits<int64_t>::max();

  // `bytes` by address; `erase_all` first sets every cell to 0xFF.
  void Start(std::map<uint32_t, uint8_t> bytes, int64_t until_ns, bool erase_all = false) {
    bytes_ = std::move(bytes);
    erase_all_ = erase_all;
    until_ns_ = until_ns;
    active_ = true;
  }
  bool Busy(int64_t time_ns) const { return active_ && time_ns < until_ns_; }
  bool active() const { return active_; }
  uint32_t first_address() const { return bytes_.empty() ? 0 : bytes_.begin()->first; }

  // Stores what the cycle writes once its time is up.
  void Settle(int64_t time_ns, std::vector<uint8_t>& cells) {
    if (!active_ || time_ns < until_ns_) return;
    if (erase_all_) cells.assign(cells.size(), 0xFF);
    for (const auto& [address, byte] : bytes_) cells[address % cells.size()] = byte;
    Clear();
  }
  // Power went off. True when the cycle was still running: the bytes it was
  // writing hold only the bits old and new agree to clear.
  bool Cut(int64_t time_ns, std::vector<uint8_t>& cells) {
    Settle(time_ns, cells);
    if (!active_) return false;
    for (const auto& [address, byte] : bytes_) cells[address % cells.size()] &= byte;
    Clear();
    return true;
  }
  void Clear() {
    active_ = false;
    erase_all_ = false;
    bytes_.clear();
  }

 private:
  std::map<uint32_t, uint8_t> bytes_;
  bool erase_all_ = false;
  bool active_ = false;
  int64_t until_ns_ = 0;
};

}  // namespace sim
