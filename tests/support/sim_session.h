#pragma once

// A programmer session on the simulated board with a recording host, for
// tests that run routines end to end.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "app/programmer.h"
#include "sim/board.h"
#include "sim/rom_chip.h"
#include "support/recording_host.h"

namespace daraz_test {

struct SimSession {
  RecordingHost host;
  app::Programmer p{host};
  sim::Board* board = nullptr;

  SimSession() {
    app::BackendSpec backend;
    backend.kind = app::BackendSpec::Kind::kSim;
    p.OpenBackend(backend);
    board = p.board();
  }

  // Puts a chip into the socket and returns it, typed.
  template <typename ChipT>
  ChipT* Insert(std::unique_ptr<ChipT> chip) {
    ChipT* raw = chip.get();
    board->InsertChip(std::move(chip));
    return raw;
  }
  sim::RomChip* InsertRom(uint32_t size, sim::ReadLevel level = sim::ReadLevel::kAny) {
    return Insert(std::make_unique<sim::RomChip>(size, level));
  }

  // A device as a family handler would leave it, without the catalogue.
  void SelectDevice(int family, uint32_t size, const std::string& caption = "TEST") {
    p.dev.family = family;
    p.SetBufferSize(size);
    p.controls.SetText("edDevice", caption);
  }

  bool PoweredDown() const { return !board->pins().power(); }
};

}  // namespace daraz_test
