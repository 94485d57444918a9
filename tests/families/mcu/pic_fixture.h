#pragma once

// A PIC session: a part chosen through its catalogue handler, the socket
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
#include "sim/pic12_chip.h"
#include "sim/pic14_chip.h"
#include "support/sim_session.h"

namespace daraz_test {

struct PicSession : SimSession {
  sim::Pic14Chip* chip = nullptr;
  sim::Pic12Chip* chip12 = nullptr;  // a 12-bit part's model

  void Select(int tag, const std::string& caption = "PIC") {
    app::SelectDevice(p, app::HandlerId::M12C_Click, app::SelectItem{tag, caption});
    std::unique_ptr<sim::Chip> made = app::MakeSimChip(p);
    chip = dynamic_cast<sim::Pic14Chip*>(made.get());
    ASSERT_NE(chip, nullptr) << "no 14-bit PIC model for tag " << tag;
    board->InsertChip(std::move(made));
    board->ClearViolations();
  }
  void Select12(int tag, const std::string& caption = "PIC") {
    app::SelectDevice(p, app::HandlerId::M12C_Click, app::SelectItem{tag, caption});
    std::unique_ptr<sim::Chip> made = app::MakeSimChip(p);
    chip12 = dynamic_cast<sim::Pic12Chip*>(made.get());
    ASSERT_NE(chip12, nullptr) << "no 12-bit PIC model for tag " << tag;
    board->InsertChip(std::move(made));
    board->ClearViolations();
  }
  // A 12-bit image: program words, the IDs after them, the configuration
  // word at 0x0FFF.
  void Load12(const std::vector<uint16_t>& words, const std::vector<uint16_t>& ids,
              uint16_t config) {
    image::ClearBuf(p.image, image::kFillFF, {});
    for (uint32_t i = 0; i < words.size(); ++i) p.image.SetWord(i, words[i]);
    for (uint32_t k = 0; k < ids.size(); ++k) p.image.SetWord(words.size() + k, ids[k]);
    p.image.SetWord(0x0FFF, config);
    p.image.data_end = p.image.device_size;
  }

  // An image as a file load leaves it: program words, data bytes in the low
  // byte of words 0x2100.., IDs and the configuration word.
  void Load(const std::vector<uint16_t>& words, const std::vector<uint8_t>& data, uint16_t config,
            const std::vector<uint16_t>& ids = {1, 2, 3, 4}) {
    image::ClearBuf(p.image, image::kFillFF, {});
    for (uint32_t i = 0; i < words.size(); ++i) p.image.SetWord(i, words[i]);
    for (uint32_t j = 0; j < data.size(); ++j) p.image.SetWord(0x2100 + j, data[j]);
    for (uint32_t k = 0; k < ids.size(); ++k) p.image.SetWord(0x2000 + k, ids[k]);
    p.image.SetWord(0x2007, config);
    p.image.data_end = p.image.device_size;
  }
  std::vector<uint16_t> Pattern(uint32_t count, uint32_t seed = 7) const {
    std::vector<uint16_t> out(count);
    uint32_t x = seed;
    for (auto& w : out) {
      x = x * 1103515245u + 12345u;
      w = static_cast<uint16_t>((x >> 10) & 0x3FFF);
    }
    return out;
  }
};

}  // namespace daraz_test
