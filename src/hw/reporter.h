#pragma once

#include <string>

namespace hw {

// Status-line kinds: 1 is an error (red, warning sound), 2 a result (black,
// beep), anything else information (blue, silent).
enum MessageKind : int { kInfo = 0, kError = 1, kResult = 2 };

// The narrow view of a user interface that the bus and the file code need.
// The application's Host extends it with progress, questions and panels.
class Reporter {
 public:
  virtual ~Reporter() = default;
  virtual void Message(const std::string& text, int kind) = 0;
};

// Swallows messages; for code paths that have no one to tell.
class SilentReporter : public Reporter {
 public:
  void Message(const std::string&, int) override {}
};

}  // namespace hw
