#pragma once

// A flash session: a device chosen through its catalogue handler, the
// socket holding the model of the part that entry stands for, the image
// loaded as a file load leaves it, and the actions run through their frame.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/actions.h"
#include "app/handler_id.h"
#include "app/selection.h"
#include "app/sim_socket.h"
#include "image/buffer_ops.h"
#include "sim/board.h"
#include "support/sim_session.h"

namespace daraz_test {

// The board's own view of the one-clock shift of the fast command form: the
// part sees a whole valid address after each clock, the board only counts
// clocks since its first full load.
inline const std::vector<std::string> kFastFormShift = {
    "data bus driven while the address registers are mid-shift",
    "program line raised while the address registers are mid-shift",
    "read-path load while the address registers are mid-shift",
};

struct FlashSession : SimSession {
  sim::Chip* chip = nullptr;

  // Selects the entry and puts a blank part of it into the socket.
  void Select(app::HandlerId handler, int tag, const std::string& caption) {
    app::SelectDevice(p, handler, app::SelectItem{tag, caption});
    std::unique_ptr<sim::Chip> made = app::MakeSimChip(p);
    chip = made.get();
    ASSERT_NE(chip, nullptr) << caption;
    board->InsertChip(std::move(made));
    board->ClearViolations();
  }
  template <typename ChipT>
  ChipT* As() {
    return dynamic_cast<ChipT*>(chip);
  }

  // The image after a load of `count` bytes: 0xFF beyond them, data end at
  // `count`.
  void Load(const std::vector<uint8_t>& data) {
    image::ClearBuf(p.image, image::kFillFF, {});
    for (uint32_t i = 0; i < data.size(); ++i) p.image[i] = data[i];
    p.image.data_end = static_cast<uint32_t>(data.size());
  }
  // Random bytes, one in eight of them 0xFF.
  std::vector<uint8_t> LoadRandom(uint32_t count, uint32_t seed = 1) {
    std::mt19937 gen(seed);
    std::vector<uint8_t> data(count);
    for (auto& b : data) b = gen() % 8 == 0 ? 0xFF : static_cast<uint8_t>(gen());
    Load(data);
    return data;
  }

  // Reads the first `count` bytes of the part back into the image.
  void ReadBack(uint32_t count) {
    p.image.device_size = count;
    Run(app::mnuReadClick);
  }

  std::vector<uint8_t> Cells() const { return chip->Contents(); }
  // A verify shows one gauge: its caption in green, run up to `value`.
  void ExpectOneVerifyGauge(int value) const {
    const auto gauges = host.Of(RecordingHost::Type::kShowGauge);
    ASSERT_EQ(gauges.size(), 1u);
    EXPECT_EQ(gauges[0].text, "Verifying chip");
    EXPECT_EQ(gauges[0].value, value);
    EXPECT_EQ(gauges[0].colour, 0x008000u);
  }
  void Fill(uint8_t value) {
    chip->SetContents(std::vector<uint8_t>(p.image.full_device_size, value));
  }
  // The board's trace of control-register writes, while it records.
  std::vector<uint8_t> ControlWrites() const {
    std::vector<uint8_t> out;
    for (const auto& e : board->trace()) {
      if (e.write && e.port == board->base() + 2) out.push_back(e.value);
    }
    return out;
  }
};

}  // namespace daraz_test
