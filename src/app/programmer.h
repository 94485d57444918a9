#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "app/controls.h"
#include "app/descriptor.h"
#include "app/host.h"
#include "hw/bus.h"
#include "hw/clock.h"
#include "image/memory_image.h"

namespace sim {
class Board;
}

namespace app {

// Where the bus goes: a parallel port through ppdev (by the port list's base
// address or an explicit device), raw port I/O, or the simulated board.
struct BackendSpec {
  enum class Kind { kLpt, kDevice, kDirect, kSim };
  Kind kind = Kind::kLpt;
  int lpt_index = 0;   // kLpt: 0..3, the port list
  std::string device;  // kDevice: /dev/parportN
  uint16_t base = 0;   // kDirect: port base
};

// Shown, in red, to whatever is refused while an action runs.
inline constexpr char kBusyMessage[] =
    "Busy: wait for the running action to finish, or press Cancel";

// Parses "lpt1".."lpt4", "/dev/parportN", "direct:0xNNNN" and "sim".
bool ParseBackendSpec(const std::string& text, BackendSpec& out);

// One board session: the bus, the memory image, the device descriptor, the
// window controls the core touches, the front door's Host, and the Cancel,
// error and verify-after-program flags. Family routines are free functions
// `void Name(Programmer&)`.
class Programmer {
 public:
  explicit Programmer(Host& host);
  ~Programmer();
  Programmer(const Programmer&) = delete;
  Programmer& operator=(const Programmer&) = delete;

  // --- backend -------------------------------------------------------------
  // Opens the backend; on failure the bus stays unusable and every action
  // reports the reason. Returns the reason, empty on success.
  std::string OpenBackend(const BackendSpec& backend);
  // The simulated board when that is the backend, else nullptr.
  sim::Board* board() { return board_.get(); }

  // --- progress (the idioms every loop uses) ---------------------------------
  void InitProgressStep(uint32_t count);
  // Counts one unit; about every step-th unit moves the gauge to `position`,
  // lets the window run and returns true when Cancel was pressed.
  bool ProgressTick(int64_t position) {
    if (++progress_counter <= progress_step) return false;
    return Refresh(position);
  }
  // The gauge refresh of a tick, unthrottled. True when cancelled.
  bool Refresh(int64_t position);
  void SetProcessGauge(const std::string& text, int64_t maximum, uint32_t colour);
  void ShowProgress(int kind, int64_t maximum, uint32_t colour);

  // --- reports ----------------------------------------------------------------
  void Message(const std::string& text, int kind) { host.Message(text, kind); }
  void ReportError(const std::string& text) { bus.ReportError(text); }
  void ReportMismatch(uint32_t index, uint32_t offset, uint8_t chip) {
    bus.ReportMismatch(index, offset, chip, image.bytes());
  }
  // The mismatch text of ReportMismatch for a loop that knows the address
  // and the byte it compared itself (a chip address other than the image
  // index, or an expected byte that is not the image's): " Error at
  // 0x%06X  Chip = 0x%02X  buffer = 0x%02X" with `chip_address`, `read`
  // and `expected`, in red, socket powered down.
  void ReportMismatchAt(uint32_t chip_address, uint8_t expected, uint8_t read);
  void ReportMismatch16(uint32_t index, uint32_t offset, uint8_t high, uint8_t low) {
    bus.ReportMismatch16(index, offset, high, low, image.bytes());
  }

  // Real-time priority around a time-critical loop. Families call this, not
  // hw::ChangePriority: on the simulated board time is virtual, and a
  // real-time busy loop would only starve the rest of the machine.
  void ChangePriority(bool raise);

  // device size := full device size := size, and the families' own size field.
  void SetBufferSize(uint32_t size);

  // --- one action at a time ----------------------------------------------------
  // A chip action claims the session for its whole run. While it runs, every
  // other action, device selection, file load or save, buffer operation and
  // byte edit is refused (the GUI runs actions on a worker thread, so the
  // menu alone cannot keep a second one out). Cancel stays live.
  //
  // Claims the session; false, with kBusyMessage shown, when an action runs.
  bool BeginAction();
  void EndAction() { busy_.store(false); }
  bool busy() const { return busy_.load(); }
  // For everything that is not an action: shows kBusyMessage and returns
  // true while an action runs, so the caller simply returns.
  bool RefuseWhileBusy();

  Host& host;
  hw::RealClock real_clock;
  hw::Bus bus;
  image::MemoryImage image;
  Descriptor dev;
  SelectionBackup backup;
  Controls controls;

  std::atomic<int> cancel{0};    // set by the Cancel button, from any thread
  int error = 0;                 // set by a failed routine
  int verify_after_program = 0;  // see the verify routines
  int progress_step = 1;
  int progress_counter = 0;
  int hardware_result = 0;

 private:
  std::atomic<bool> busy_{false};
  std::unique_ptr<hw::PortIo> port_;
  std::unique_ptr<sim::Board> board_;
};

}  // namespace app
