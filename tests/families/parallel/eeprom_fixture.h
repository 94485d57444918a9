#pragma once

// A session for the parallel EEPROM, sector-write flash, RAM and NVRAM
// families: a device chosen through its catalogue handler, the socket
// holding the chip model the simulator builds for it.

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/actions.h"
#include "app/handler_id.h"
#include "app/selection.h"
#include "app/sim_socket.h"
#include "image/buffer_ops.h"
#include "support/sim_session.h"

namespace daraz_test {

// A table of every device runs whole in the default build; under the
// sanitizers, which are several times slower, every fourth row.
template <typename T, size_t N>
std::vector<T> DeviceRows(const T (&rows)[N]) {
#ifdef DARAZ_SANITIZED
  std::vector<T> sample;
  for (size_t i = 0; i < N; i += 4) sample.push_back(rows[i]);
  return sample;
#else
  return {std::begin(rows), std::end(rows)};
#endif
}

template <typename ChipT>
struct ModelSession : SimSession {
  ChipT* chip = nullptr;

  // Selects the device and puts a fresh chip of that device into the socket.
  void Select(app::HandlerId handler, int tag, const std::string& caption = "PART") {
    app::SelectDevice(p, handler, app::SelectItem{tag, caption});
    std::unique_ptr<sim::Chip> made = app::MakeSimChip(p);
    chip = dynamic_cast<ChipT*>(made.get());
    ASSERT_NE(chip, nullptr) << "no model for tag " << tag;
    board->InsertChip(std::move(made));
    board->ClearViolations();
  }

  // The image after a load of `count` random bytes: 0xFF beyond them, the
  // data end at `count`.
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

  std::string Rest() const { return board->RestState(); }
};

}  // namespace daraz_test
