#pragma once

#include <cstdint>
#include <string>

#include "hw/reporter.h"
#include "image/file_host.h"

namespace app {

// Colours as the status area uses them (0x00BBGGRR).
namespace colour {
inline constexpr uint32_t kBlack = 0x000000;
inline constexpr uint32_t kRed = 0x0000FF;
inline constexpr uint32_t kGreen = 0x008000;
inline constexpr uint32_t kNavy = 0x800000;
inline constexpr uint32_t kBlue = 0xFF0000;
inline constexpr uint32_t kYellow = 0x00FFFF;
inline constexpr uint32_t kWhite = 0xFFFFFF;
}  // namespace colour

// The window caption starts with this; a read adds the device name and
// " Image", a file load or save the file name, a clear nothing.
using image::kCaptionPrefix;

// Everything a routine needs from a front door. The GUI, the command line
// and the tests each implement it; a routine never knows which.
// `Message(text, kind)` comes from hw::Reporter: kind 1 red with the warning
// sound, 2 black with a beep, anything else blue and silent.
class Host : public hw::Reporter {
 public:
  // Show the progress panel for a new unit of work, gauge at 0.
  virtual void ShowGauge(const std::string& text, int64_t maximum, uint32_t colour) = 0;
  // Move the gauge. Called about a thousand times per action at most.
  virtual void SetGaugeProgress(int64_t position) = 0;
  // Hide the progress panel (end of an action).
  virtual void HideGauge() = 0;
  // Let the window handle pending events; the Cancel flag is read after it.
  virtual void ProcessEvents() {}
  // A modal yes/no question; true for Yes.
  virtual bool Ask(const std::string& question) = 0;
  // An information box with an OK button.
  virtual void Information(const std::string& text) = 0;
  // Something the user must know before going on, though nothing failed
  // (a file that holds data outside the device). An information box unless
  // the front door has a better place for it.
  virtual void Warning(const std::string& text) { Information(text); }
  // An information box that tells the user to change the board (fit a
  // jumper, set a voltage) before the chip is driven. The routine goes on
  // only when this returns true; a front door that cannot wait for the
  // user to do it answers like a question.
  virtual bool Instruction(const std::string& text) {
    Information(text);
    return true;
  }
  // The main window's caption.
  virtual void SetCaption(const std::string& text) = 0;
  // The core changed the window's controls (Programmer::controls); repaint.
  // Panels a routine fills (the chip-ID panel pIDcode, the peak panels
  // pLoopp/pTwcp/pTwpp, the status fields) are controls too: set them, then
  // call this.
  virtual void ControlsChanged() {}
};

// Shows nothing and answers every question with the same answer: for
// selections nobody watches, and for benchmarks.
class SilentHost final : public Host {
 public:
  explicit SilentHost(bool answer = false) : answer_(answer) {}
  void Message(const std::string&, int) override {}
  void ShowGauge(const std::string&, int64_t, uint32_t) override {}
  void SetGaugeProgress(int64_t) override {}
  void HideGauge() override {}
  bool Ask(const std::string&) override { return answer_; }
  void Information(const std::string&) override {}
  void SetCaption(const std::string&) override {}

 private:
  bool answer_;
};

}  // namespace app
