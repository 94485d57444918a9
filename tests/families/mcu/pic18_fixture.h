#pragma once

// A PIC18 session: a part chosen through its catalogue handler, the socket
// holding the model the simulator builds for it.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/actions.h"
#include "app/handler_id.h"
#include "app/selection.h"
#include "app/sim_socket.h"
#include "image/buffer_ops.h"
#include "image/layout.h"
#include "sim/pic18_chip.h"
#include "support/sim_session.h"

namespace daraz_test {

struct Pic18Session : SimSession {
  sim::Pic18Chip* chip = nullptr;

  void Select(int tag, const std::string& caption = "PIC18") {
    app::SelectDevice(p, app::HandlerId::PIC18F_Click, app::SelectItem{tag, caption});
    std::unique_ptr<sim::Chip> made = app::MakeSimChip(p);
    chip = dynamic_cast<sim::Pic18Chip*>(made.get());
    ASSERT_NE(chip, nullptr) << "no PIC18 model for tag " << tag;
    board->InsertChip(std::move(made));
    board->ClearViolations();
  }

  // An image as a file load leaves it: code bytes, the 8 ID bytes, the
  // configuration bytes, data EEPROM byte n at 0xF00000 + n.
  void Load(const std::vector<uint8_t>& code, const std::vector<uint8_t>& ids,
            const std::vector<uint8_t>& config, const std::vector<uint8_t>& eeprom) {
    image::ClearBuf(p.image, image::kFillFF, {});
    for (uint32_t i = 0; i < code.size(); ++i) p.image[i] = code[i];
    for (uint32_t k = 0; k < ids.size(); ++k) p.image[image::kPic18IdOffset + k] = ids[k];
    for (uint32_t k = 0; k < config.size(); ++k) p.image[image::kPic18ConfigOffset + k] = config[k];
    for (uint32_t j = 0; j < eeprom.size(); ++j) p.image[image::kPic18EepromOffset + j] = eeprom[j];
    p.image.data_end = p.image.device_size;
  }
  static std::vector<uint8_t> Pattern(uint32_t count, uint32_t seed) {
    std::vector<uint8_t> out(count);
    uint32_t x = seed;
    for (auto& b : out) {
      x = x * 1103515245u + 12345u;
      b = static_cast<uint8_t>(x >> 16);
    }
    return out;
  }
};

}  // namespace daraz_test
