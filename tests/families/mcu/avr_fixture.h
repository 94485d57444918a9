#pragma once

// An AT90S session: a part chosen through its catalogue handler, the socket
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
#include "sim/avr_chip.h"
#include "support/sim_session.h"

namespace daraz_test {

struct AvrSession : SimSession {
  sim::AvrChip* chip = nullptr;

  // Tags 101..108: AT90S1200, 2313, 2333, 4433, 4414, 8515, 4434, 8535.
  void Select(int tag) {
    app::SelectDevice(p, app::HandlerId::AVR_Click, app::SelectItem{tag, "AVR"});
    Insert();
  }
  // A new model for the selection as it stands (after New Adapter changed).
  void Insert() {
    std::unique_ptr<sim::Chip> made = app::MakeSimChip(p);
    chip = dynamic_cast<sim::AvrChip*>(made.get());
    ASSERT_NE(chip, nullptr) << "no AVR model for tag " << p.dev.device_code;
    board->InsertChip(std::move(made));
    board->ClearViolations();
  }

  // Flash bytes from image 0 (data end after them), EEPROM bytes from 0x40000.
  void Load(const std::vector<uint8_t>& flash, const std::vector<uint8_t>& eeprom = {}) {
    image::ClearBuf(p.image, image::kFillFF, {});
    for (uint32_t i = 0; i < flash.size(); ++i) p.image[i] = flash[i];
    for (uint32_t i = 0; i < eeprom.size(); ++i) p.image[0x40000 + i] = eeprom[i];
    p.image.data_end = static_cast<uint32_t>(flash.size());
  }

  std::vector<std::string> Gauges() const {
    std::vector<std::string> out;
    for (const auto& e : host.Of(HostEvent::Type::kShowGauge)) out.push_back(e.text);
    return out;
  }
};

// Bytes that differ from their neighbours and from 0xFF.
inline std::vector<uint8_t> Pattern(uint32_t count, uint8_t salt) {
  std::vector<uint8_t> out(count);
  for (uint32_t i = 0; i < count; ++i) out[i] = static_cast<uint8_t>((i * 7 + salt) ^ (i >> 8));
  return out;
}

}  // namespace daraz_test
