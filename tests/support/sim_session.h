#pragma once

// A programmer session on the simulated board with a recording host, for
// tests that run routines end to end.

#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "app/actions.h"
#include "app/programmer.h"
#include "sim/board.h"
#include "sim/rom_chip.h"
#include "support/recording_host.h"

namespace daraz_test {

// What the wait-sum tests add up, in DelayTicks: PowerUp waits 1000 + 3 x
// 20000, PowerDown 10000.
inline constexpr int64_t kPowerUp = 61000;
inline constexpr int64_t kPowerDown = 10000;
// One delay tick is 0.8381 us; `n` ticks in nanoseconds.
inline constexpr int64_t Ticks(int64_t n) { return n * 8381 / 10; }

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

  // One action as the user starts it: the messages and error flag of the
  // last action only.
  void Run(void (*action)(app::Programmer&)) {
    host.Clear();
    p.error = 0;
    action(p);
  }
  void Program() { Run(app::mnuProgramClick); }
  void Verify() { Run(app::mnuVerifyClick); }
  void Read() { Run(app::mnuReadClick); }
  void Blank() { Run(app::mnuBlankClick); }
  void Erase() { Run(app::mnuEraseClick); }
  void GetId() { Run(app::GetID_Cick); }

  std::string Last() const { return host.LastMessage().first; }
  std::vector<std::string> Violations() const { return board->violations(); }

  // Runs `body` (given the programmer, or nothing) and returns the time it
  // waited in nanoseconds: the simulated time it took less its port
  // accesses. On the simulated board that is exactly the sum of its delays.
  template <typename Body>
  int64_t WaitedNs(Body&& body) {
    const int64_t start = board->clock().now_ns();
    const uint64_t accesses = board->accesses();
    if constexpr (std::is_invocable_v<Body, app::Programmer&>) {
      body(p);
    } else {
      body();
    }
    return board->clock().now_ns() - start -
           static_cast<int64_t>(board->accesses() - accesses) * board->access_cost_ns();
  }
};

}  // namespace daraz_test
