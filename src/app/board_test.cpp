#include "app/board_test.h"

#include <memory>

#include "app/programmer.h"
#include "app/sim_socket.h"
#include "sim/board.h"

namespace app {
namespace {

// The parallel port's connector pins of the lines the board uses.
constexpr int DataPortPin(int bit) { return 2 + bit; }
constexpr int kLoopInPin = 11;  // status bit 7 (BUSY)

// The data bits the read register can give back: bit 1 loads it and bit 2
// clocks it, so those two cannot be seen through it.
constexpr int kReadableBits[] = {0, 3, 4, 5, 6, 7};
constexpr uint8_t kReadableMask = 0xF9;
constexpr uint8_t kLoad = 0x02, kClock = 0x04;

std::string PinText(const sim::SocketPin& pin) {
  return "pin " + std::to_string(pin.pin) + " (" + pin.name + ")";
}

// Loads the read register from the bus the port drives, then shifts the
// byte out over the status taps as the read primitive does.
uint8_t Loopback(hw::Bus& bus, uint8_t pattern) {
  pattern &= kReadableMask;
  bus.WriteBusByte(pattern | kLoad | kClock);
  bus.WriteBusByte(pattern | kLoad);  // clock falls with the load line high
  bus.WriteBusByte(pattern | kClock);
  const auto taps = [&bus] { return static_cast<uint8_t>((~bus.ReadStatus() >> 4) & 0x07); };
  const auto shift3 = [&bus, pattern] {
    for (int i = 0; i < 3; ++i) {
      bus.WriteBusByte(pattern);
      bus.WriteBusByte(pattern | kClock);
    }
  };
  uint8_t value = static_cast<uint8_t>(taps() << 5);
  shift3();
  value |= static_cast<uint8_t>(taps() << 2);
  shift3();
  // After six shifts the two top stages hold bits 1 and 0.
  value |= static_cast<uint8_t>((taps() >> 1) & 0x03);
  return value;
}

std::string BitList(uint8_t bits) {
  std::string text;
  for (int b = 0; b < 8; ++b) {
    if ((bits >> b) & 1) text += (text.empty() ? "" : ", ") + std::to_string(b);
  }
  return text;
}

void CheckLoopBack(hw::Bus& bus, std::vector<std::string>& findings) {
  for (const bool level : {true, false}) {
    bus.SetData(0, level);
    bus.WriteData();
    bus.DelayTicks(1000);
    const bool line = (bus.ReadStatus() & 0x80) == 0;  // status bit 7 reads inverted
    if (line != level) {
      findings.push_back("the loop-back reads " + std::string(line ? "1" : "0") +
                         " while data bit 0 is " + (level ? "1" : "0") +
                         ": check the wiring between the port's pin " +
                         std::to_string(DataPortPin(0)) + " and its pin " +
                         std::to_string(kLoopInPin) + " (status bit 7)");
    }
  }
  bus.SetData(0, false);
  bus.WriteData();
}

void CheckDataLines(hw::Bus& bus, AutoBoardResult& result) {
  // Drive the bus while nothing is in the socket: nothing else drives it.
  bus.SetCtrl(1, true);
  bus.WriteCtrl();
  const uint8_t idle = Loopback(bus, 0x00) & kReadableMask;
  for (int b = 0; b < 8; ++b) {
    if ((idle >> b) & 1) {
      result.findings.push_back("read register bit " + std::to_string(b) +
                                " reads 1 with nothing driven on it: check that input of the "
                                "read register for a short to +5 V");
    }
  }
  for (const int n : kReadableBits) {
    result.data_bits_checked.push_back(n);
    const uint8_t sent = static_cast<uint8_t>(1u << n);
    const uint8_t got = static_cast<uint8_t>(Loopback(bus, sent) & kReadableMask & ~idle);
    if (got == sent || ((idle & sent) != 0 && got == 0)) continue;
    const std::string line = "data bit " + std::to_string(n);
    const std::string wire = "the port's pin " + std::to_string(DataPortPin(n));
    const uint8_t others = got & static_cast<uint8_t>(~sent);
    if ((got & sent) == 0 && others == 0) {
      result.findings.push_back(line +
                                " does not reach the read register: check the wiring between " +
                                wire + " and the read register");
    } else if ((got & sent) == 0) {
      result.findings.push_back(line + " reads as bit " + BitList(others) +
                                ": check the wiring between " + wire + " and the read register");
    } else {
      result.findings.push_back(line + " also sets bit " + BitList(others) +
                                " of the read register: check for a short between " + wire +
                                " and the line of bit " + BitList(others));
    }
  }
  bus.SetCtrl(1, false);
  bus.WriteCtrl();
}

std::string LevelText(const sim::SocketPin& pin, bool level) {
  if (pin.line == sim::BoardLine::kVcc) return "at +5 V";
  if (pin.line == sim::BoardLine::kVpp) return "at the programming voltage set on the board";
  return level ? "high" : "low";
}

BoardStep MakeStep(BoardStepKind kind, int line, const sim::SocketPin& pin, bool level,
                   std::string title, const char* rest) {
  BoardStep step;
  step.kind = kind;
  step.line = line;
  step.pin = pin;
  step.level = level;
  step.title = std::move(title);
  step.expect = PinText(pin) + " " + LevelText(pin, level) + "; " + rest;
  return step;
}

}  // namespace

AutoBoardResult RunAutoBoardTest(Programmer& p) {
  AutoBoardResult result;
  hw::Bus& bus = p.bus;
  bus.PowerUp();
  bus.SetCtrl(1, true);  // the loop-back is read with the address clock gated off
  bus.WriteCtrl();
  CheckLoopBack(bus, result.findings);
  bus.SetCtrl(1, false);
  bus.WriteCtrl();
  CheckDataLines(bus, result);
  bus.PowerDown();
  return result;
}

std::vector<BoardStep> GuidedBoardSteps(const sim::PinMap& map) {
  std::vector<BoardStep> steps;
  constexpr char kOthersLow[] = "every other address and data pin low";
  for (int a = 0; a < 24; ++a) {
    if (const sim::SocketPin* pin = map.Find(sim::BoardLine::kAddress, a)) {
      steps.push_back(MakeStep(BoardStepKind::kAddress, a, *pin, !pin->inverted,
                               "Address line A" + std::to_string(a), kOthersLow));
    }
  }
  for (int d = 0; d < 8; ++d) {
    const sim::SocketPin* pin = map.Find(sim::BoardLine::kBus, d);
    if (pin == nullptr) pin = map.Find(sim::BoardLine::kData, d);
    if (pin != nullptr) {
      steps.push_back(MakeStep(BoardStepKind::kData, d, *pin, !pin->inverted,
                               "Data bit " + std::to_string(d), kOthersLow));
    }
  }
  if (const sim::SocketPin* pin = map.Find(sim::BoardLine::kVcc)) {
    steps.push_back(MakeStep(BoardStepKind::kVcc, 0, *pin, true, "Vcc to the socket",
                             "every address and data pin low"));
  }
  if (const sim::SocketPin* pin = map.Find(sim::BoardLine::kProgram)) {
    steps.push_back(MakeStep(BoardStepKind::kProgramActive, 0, *pin, !pin->inverted,
                             "Program line active", "no Vpp"));
    steps.push_back(MakeStep(BoardStepKind::kProgramIdle, 0, *pin, pin->inverted,
                             "Program line at read level", "no Vpp"));
  }
  if (const sim::SocketPin* pin = map.Find(sim::BoardLine::kVpp)) {
    steps.push_back(MakeStep(BoardStepKind::kVpp, 0, *pin, true, "Vpp (socket empty)",
                             "the program line at read level"));
  }
  return steps;
}

sim::PinMap SelectedPinMap(const Programmer& p) {
  const std::unique_ptr<sim::Chip> chip = MakeSimChip(p);
  return chip ? chip->SocketPinMap() : sim::PinMap{};
}

void DriveBoardStep(Programmer& p, const BoardStep& step) {
  hw::Bus& bus = p.bus;
  bus.PowerUp();
  switch (step.kind) {
    case BoardStepKind::kAddress:
      bus.ShiftAddress(1u << step.line);
      break;
    case BoardStepKind::kData:
      bus.SetCtrl(1, true);
      bus.WriteCtrl();
      bus.WriteBusByte(static_cast<uint8_t>(1u << step.line));
      break;
    case BoardStepKind::kVcc:
    case BoardStepKind::kProgramIdle:
      break;
    case BoardStepKind::kProgramActive:
      bus.SetCtrl(3, true);
      bus.WriteCtrl();
      break;
    case BoardStepKind::kVpp:
      bus.SetCtrl(0, false);
      bus.WriteCtrl();
      break;
  }
}

void EndBoardStep(Programmer& p) {
  hw::Bus& bus = p.bus;
  // Vpp and the program line off while Vcc is still on.
  bus.SetCtrl(0, true);
  bus.SetCtrl(3, false);
  bus.SetCtrl(1, false);
  bus.WriteCtrl();
  bus.PowerDown();
}

const char* AnswerName(StepAnswer answer) {
  switch (answer) {
    case StepAnswer::kPass:
      return "pass";
    case StepAnswer::kFail:
      return "fail";
    case StepAnswer::kSkip:
      return "skip";
  }
  return "";
}

StepAnswer SimulatedAnswer(const sim::Board& board, const sim::PinMap& map, const BoardStep& step) {
  const sim::SocketSignals signals = board.Signals();
  const sim::Pins& pins = board.pins();
  for (const sim::SocketPin& pin : map.pins) {
    const bool announced = pin.pin == step.pin.pin;
    if (announced) {
      if (sim::PinLevel(signals, pins, pin) != step.level) return StepAnswer::kFail;
      continue;
    }
    const bool active = sim::LineActive(signals, pins, pin.line, pin.index);
    if (active != (pin.line == sim::BoardLine::kVcc)) return StepAnswer::kFail;
  }
  return StepAnswer::kPass;
}

std::string LikelyCause(const BoardStep& step) {
  const std::string pin = "socket " + PinText(step.pin);
  switch (step.kind) {
    case BoardStepKind::kAddress: {
      const int serial_bit = step.line < 8 ? 1 : step.line < 16 ? 4 : 5;
      return "the wire from shift register output A" + std::to_string(step.line) + " to " + pin +
             ", or that shift register (serial input: data bit " + std::to_string(serial_bit) +
             ", the port's pin " + std::to_string(DataPortPin(serial_bit)) + ")";
    }
    case BoardStepKind::kData:
      return "the wire from the port's pin " + std::to_string(DataPortPin(step.line)) +
             " (data bit " + std::to_string(step.line) + ") through the bus driver to " + pin;
    case BoardStepKind::kVcc:
      return "the Vcc switch on control bit 2 (the port's pin 16) or its wire to " + pin;
    case BoardStepKind::kProgramActive:
    case BoardStepKind::kProgramIdle:
      return "the program-line driver on control bit 3 (the port's pin 17) or the switch that "
             "routes it to " +
             pin;
    case BoardStepKind::kVpp:
      return "the Vpp switch on control bit 0 (the port's pin 1), the Vpp supply, or the switch "
             "that routes it to " +
             pin;
  }
  return {};
}

}  // namespace app
