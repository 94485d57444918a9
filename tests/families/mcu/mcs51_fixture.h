#pragma once

// An MCS-51 session: a part chosen through its catalogue handler, the socket
// holding the model the simulator builds for it, the image loaded as a file
// load leaves it.

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
#include "sim/mcs51_chip.h"
#include "support/sim_session.h"

namespace daraz_test {

struct Mcs51Session : SimSession {
  sim::Mcs51Chip* chip = nullptr;

  void Select(app::HandlerId handler, int tag, const std::string& caption = "MCS51") {
    app::SelectDevice(p, handler, app::SelectItem{tag, caption});
    std::unique_ptr<sim::Chip> made = app::MakeSimChip(p);
    chip = dynamic_cast<sim::Mcs51Chip*>(made.get());
    ASSERT_NE(chip, nullptr) << "no MCS-51 model for tag " << tag;
    board->InsertChip(std::move(made));
    board->ClearViolations();
  }
  void Select40(int tag) { Select(app::HandlerId::muMCS51_Click, tag); }
  void Select20(int tag) { Select(app::HandlerId::AT89Cx051_Click, tag); }

  std::vector<uint8_t> LoadRandom(uint32_t count, uint32_t seed = 1) {
    std::mt19937 gen(seed);
    std::vector<uint8_t> data(count);
    for (auto& b : data) b = static_cast<uint8_t>(gen());
    Load(data);
    return data;
  }
  void Load(const std::vector<uint8_t>& data) {
    image::ClearBuf(p.image, image::kFillFF, {});
    for (uint32_t i = 0; i < data.size(); ++i) p.image[i] = data[i];
    p.image.data_end = static_cast<uint32_t>(data.size());
  }

  std::vector<uint8_t> Cells() const { return chip->Contents(); }
};

}  // namespace daraz_test
