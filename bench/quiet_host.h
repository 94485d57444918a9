// The host every benchmark runs under: it answers Yes, shows nothing and
// keeps the last message, so a benchmark can stop on a failed run.
#pragma once

#include <cstdint>
#include <string>

#include "app/host.h"

namespace bench {

class QuietHost final : public app::Host {
 public:
  void Message(const std::string& text, int kind) override {
    last = text;
    if (kind == 1) failed = true;
  }
  void ShowGauge(const std::string&, int64_t, uint32_t) override {}
  void SetGaugeProgress(int64_t) override {}
  void HideGauge() override {}
  bool Ask(const std::string&) override { return true; }
  void Information(const std::string&) override {}
  void SetCaption(const std::string&) override {}
  std::string last;
  bool failed = false;
};

}  // namespace bench
