#pragma once

// A session for selection tests: a recording host, a programmer, and a
// one-line way to choose a catalogue item through its handler.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "app/selection.h"
#include "support/recording_host.h"

namespace daraz_test {

inline constexpr uint32_t KB = 1024;
inline constexpr uint32_t MB = 1024 * 1024;

class SelectFixture : public ::testing::Test {
 protected:
  void Select(app::HandlerId handler, int tag, const std::string& caption = "part") {
    app::SelectDevice(p, handler, app::SelectItem{tag, caption});
  }
  RecordingHost host;
  app::Programmer p{host};
};

}  // namespace daraz_test
