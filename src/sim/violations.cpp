#include "sim/violations.h"

#include <cstdio>

namespace sim {

void ViolationLog::Add(std::string_view text, int64_t time_ns, uint32_t address) {
  for (Entry& e : entries_) {
    if (e.text == text) {
      ++e.count;
      return;
    }
  }
  if (entries_.size() >= kMaxKinds) return;
  entries_.push_back({std::string(text), time_ns, address, 1});
}

std::vector<std::string> ViolationLog::Texts() const {
  std::vector<std::string> texts;
  texts.reserve(entries_.size());
  for (const Entry& e : entries_) texts.push_back(e.text);
  return texts;
}

std::string ViolationLog::Describe(const Entry& e) {
  char where[96];
  if (e.first_address == kNoAddress) {
    std::snprintf(where, sizeof where, " (%llu times, first at %.1f us)",
                  static_cast<unsigned long long>(e.count), static_cast<double>(e.first_ns) / 1e3);
  } else {
    std::snprintf(where, sizeof where, " (%llu times, first at %.1f us, address 0x%06X)",
                  static_cast<unsigned long long>(e.count), static_cast<double>(e.first_ns) / 1e3,
                  e.first_address);
  }
  return e.text + where;
}

}  // namespace sim
