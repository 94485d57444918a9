#pragma once

// A UV EPROM session: a device chosen through its catalogue handler, the
// socket holding the chip model the simulator builds for it, and the image
// loaded the way a file load leaves it.

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
#include "sim/eprom_chip.h"
#include "support/sim_session.h"

namespace daraz_test {

struct EpromSession : SimSession {
  sim::EpromChip* chip = nullptr;

  // Selects the device and puts a blank chip of that device into the socket.
  void Select(app::HandlerId handler, int tag, const std::string& caption = "EPROM") {
    app::SelectDevice(p, handler, app::SelectItem{tag, caption});
    std::unique_ptr<sim::Chip> made = app::MakeSimChip(p);
    chip = dynamic_cast<sim::EpromChip*>(made.get());
    ASSERT_NE(chip, nullptr) << "no EPROM model for tag " << tag;
    board->InsertChip(std::move(made));
    board->ClearViolations();
  }
  void Select27C(int tag) { Select(app::HandlerId::M27C_Click, tag); }
  void Select27(int tag) { Select(app::HandlerId::M27_Click, tag); }
  // An NMOS 27xxx part through M27_Click, else a 27C part through M27C_Click.
  void SelectPart(bool nmos, int tag) { nmos ? Select27(tag) : Select27C(tag); }

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
};

// What the parts' datasheets find wrong with the routines' own timing, in
// the model's words.
inline const std::string kOverStress = "program pulse longer than tPW max (over-stress)";
inline const std::string kShortPulse = "program pulse shorter than tPW min";
inline const std::string kDataSetup = "data setup before the program pulse shorter than tDS";
inline const std::string kMarginal =
    "marginal byte: programmed with less than the algorithm requires";
using Kinds = std::vector<std::string>;

// One part of a table-driven test: a label, NMOS or CMOS, and its Tag.
struct PartCase {
  const char* name;
  bool nmos;
  int tag;
};

}  // namespace daraz_test
