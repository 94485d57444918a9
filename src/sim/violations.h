#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

// Protocol a model saw that would harm or confuse a real chip or board.
// Each kind of violation is kept once, with how often it happened and where
// it happened first, so a run that repeats a mistake a million times still
// yields one line a test can name exactly.
class ViolationLog {
 public:
  static constexpr uint32_t kNoAddress = 0xFFFFFFFF;

  struct Entry {
    std::string text;
    int64_t first_ns = 0;
    uint32_t first_address = kNoAddress;
    uint64_t count = 0;
  };

  void Add(std::string_view text, int64_t time_ns, uint32_t address = kNoAddress);
  void Clear() { entries_.clear(); }
  bool empty() const { return entries_.empty(); }

  // The kinds in the order they first happened.
  std::vector<std::string> Texts() const;
  const std::vector<Entry>& entries() const { return entries_; }
  // "text (N times, first at 12.3 us, address 0x000123)".
  static std::string Describe(const Entry& e);

 private:
  static constexpr size_t kMaxKinds = 200;
  std::vector<Entry> entries_;
};

}  // namespace sim
