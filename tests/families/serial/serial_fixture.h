#pragma once

// A serial-memory session: the device chosen through its catalogue
// handler, the socket holding the chip model the simulator builds for it,
// the image loaded as a file load leaves it, and the six actions.

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
#include "sim/serial_socket.h"
#include "support/sim_session.h"

namespace daraz_test {

struct SerialSession : SimSession {
  sim::SerialChip* chip = nullptr;

  // Selects the device and puts a blank chip of it into the socket.
  void Select(app::HandlerId handler, int tag, const std::string& caption = "SERIAL") {
    app::SelectDevice(p, handler, app::SelectItem{tag, caption});
    Insert();
  }
  // A fresh chip for the current selection (after a panel change).
  void Insert() {
    std::unique_ptr<sim::Chip> made = app::MakeSimChip(p);
    chip = dynamic_cast<sim::SerialChip*>(made.get());
    ASSERT_NE(chip, nullptr) << "no serial model for family " << p.dev.family;
    board->InsertChip(std::move(made));
    board->ClearViolations();
  }
  template <typename T>
  T* As() {
    return dynamic_cast<T*>(chip);
  }
  bool Fault(const std::string& kind, uint32_t address = 0, int arg1 = 0, int arg2 = 0) {
    return chip->InjectFault({kind, address, arg1, arg2});
  }

  std::vector<uint8_t> Random(uint32_t count, uint32_t seed = 7) {
    std::mt19937 gen(seed);
    std::vector<uint8_t> data(count);
    for (auto& b : data) b = static_cast<uint8_t>(gen());
    return data;
  }
  // The image after a load of `data`: 0xFF beyond it, the data end at its size.
  std::vector<uint8_t> Load(const std::vector<uint8_t>& data) {
    image::ClearBuf(p.image, image::kFillFF, {});
    for (uint32_t i = 0; i < data.size(); ++i) p.image[i] = data[i];
    p.image.data_end = static_cast<uint32_t>(data.size());
    return data;
  }
  std::vector<uint8_t> LoadRandom(uint32_t count, uint32_t seed = 7) {
    return Load(Random(count, seed));
  }
  // The chip's cells as the first `count` bytes.
  std::vector<uint8_t> Cells(uint32_t count) const {
    std::vector<uint8_t> cells = chip->Contents();
    cells.resize(count);
    return cells;
  }
  std::vector<uint8_t> Image(uint32_t count) const {
    return std::vector<uint8_t>(p.image.bytes().begin(), p.image.bytes().begin() + count);
  }

  bool Said(const std::string& text) const { return host.HasMessage(text); }
  std::string Rest() const { return board->RestState(); }
};

}  // namespace daraz_test
