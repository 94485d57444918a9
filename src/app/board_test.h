#pragma once

// The board test: what a home-built board can check by itself with the
// socket empty, and a guided walk over every line it drives into the socket,
// one line at a time, for the builder to check with a meter or an LED probe.
//
// Every step starts from the rest state and returns to it. The pins a step
// announces come from the chip model of the selected device
// (sim::Chip::SocketPinMap), the same data the simulated board decodes.

#include <string>
#include <vector>

#include "sim/pin_map.h"

namespace sim {
class Board;
}

namespace app {

class Programmer;

// The automatic part. The read register loads the data bus while the port
// drives it, so the six lines that do not clock it (data bits 0, 3..7) come
// back through it; bits 1 and 2 are its load and clock lines and go to the
// guided part.
struct AutoBoardResult {
  std::vector<std::string> findings;  // each names the line and what to check
  std::vector<int> data_bits_checked;
};
AutoBoardResult RunAutoBoardTest(Programmer& p);

enum class BoardStepKind { kAddress, kData, kVcc, kProgramActive, kProgramIdle, kVpp };

struct BoardStep {
  BoardStepKind kind = BoardStepKind::kVcc;
  int line = 0;        // address line or data bit
  sim::SocketPin pin;  // the pin that must change
  bool level = true;   // where it must be (true = high)
  std::string title;   // "Address line A7"
  std::string expect;  // "pin 3 (A7) high, every other address and data pin low"

  // Vpp comes on only after the user said the socket is empty.
  bool needs_empty_socket() const { return kind == BoardStepKind::kVpp; }
};

// The steps for a package: each address and data line the package has, Vcc,
// the program line at both levels, Vpp.
std::vector<BoardStep> GuidedBoardSteps(const sim::PinMap& map);

// The pin map of the selected device's package, from its chip model.
sim::PinMap SelectedPinMap(const Programmer& p);

// Drives the step's line from the rest state (socket powered, everything
// else at rest); EndBoardStep returns to the rest state, Vpp first.
void DriveBoardStep(Programmer& p, const BoardStep& step);
void EndBoardStep(Programmer& p);

enum class StepAnswer { kPass, kFail, kSkip };
const char* AnswerName(StepAnswer answer);  // "pass", "fail", "skip"

// How the simulated board answers for the user while the step is driven:
// pass when the announced pin is at its level and every other pin of the map
// is where the rest state puts it (Vcc aside, which every step powers).
StepAnswer SimulatedAnswer(const sim::Board& board, const sim::PinMap& map, const BoardStep& step);

// What a failed step most likely means, for the summary.
std::string LikelyCause(const BoardStep& step);

}  // namespace app
