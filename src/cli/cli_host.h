#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "app/host.h"

namespace cli {

// How yes/no questions are answered.
enum class Answer { kAsk, kYes, kNo };

// The terminal as a front door: status texts on their own lines, exactly as
// the routines word them (errors on stderr), information boxes as notes, a
// progress bar on stderr when it is a terminal, questions answered by
// --yes/--no or asked on the terminal.
class CliHost final : public app::Host {
 public:
  CliHost(bool quiet, bool progress, Answer answer);

  void Message(const std::string& text, int kind) override;
  void ShowGauge(const std::string& text, int64_t maximum, uint32_t colour) override;
  void SetGaugeProgress(int64_t position) override;
  void HideGauge() override;
  bool Ask(const std::string& question) override;
  void Information(const std::string& text) override;
  // Waits like a question: --yes goes on, --no stops, a terminal asks.
  bool Instruction(const std::string& text) override;
  void SetCaption(const std::string& text) override { caption_ = text; }

  // Whether any error text (kind 1) was shown since the last Reset().
  bool failed() const { return failed_; }
  // A question came up that nobody could answer.
  bool refused() const { return refused_; }
  void Reset() { failed_ = refused_ = false; }
  // Information boxes since the last TakeNotes(), for `info`.
  std::vector<std::string> TakeNotes();
  // Suppress all output (for --json, where the caller prints).
  void SetSilent(bool silent) { silent_ = silent; }
  const std::string& caption() const { return caption_; }

 private:
  void ClearBar();
  void DrawBar(bool force);

  bool quiet_;
  bool progress_;
  Answer answer_;
  bool silent_ = false;
  bool failed_ = false;
  bool refused_ = false;
  std::vector<std::string> notes_;
  std::string caption_;

  bool bar_shown_ = false;
  std::string bar_text_;
  int64_t bar_max_ = 0;
  int64_t bar_pos_ = 0;
  std::chrono::steady_clock::time_point last_draw_{};
};

// Collapses an information box's line breaks and padding into one line.
std::string OneLine(const std::string& text);

}  // namespace cli
