#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/host.h"

namespace cli {

// How yes/no questions are answered.
enum class Answer { kAsk, kYes, kNo };

// The terminal as a front door: status texts on their own lines, exactly as
// the routines word them (errors always on stderr), information boxes as
// notes, warnings on stderr, a progress bar on stderr when it is a
// terminal, questions answered by --yes/--no or asked on the terminal.
class CliHost final : public app::Host {
 public:
  CliHost(bool quiet, bool progress, Answer answer);

  void Message(const std::string& text, int kind) override;
  void ShowGauge(const std::string& text, int64_t maximum, uint32_t colour) override;
  void SetGaugeProgress(int64_t position) override;
  void HideGauge() override;
  void ProcessEvents() override;
  bool Ask(const std::string& question) override;
  void Information(const std::string& text) override;
  void Warning(const std::string& text) override;
  // Waits like a question: --yes goes on, --no stops, a terminal asks.
  bool Instruction(const std::string& text) override;
  void SetCaption(const std::string& text) override { caption_ = text; }

  // A status line of the command line's own (not a routine's).
  void Status(const std::string& text);

  // Whether any error text (kind 1) was shown since the last Reset().
  bool failed() const { return failed_; }
  // A question came up that nobody could answer.
  bool refused() const { return refused_; }
  void Reset() { failed_ = refused_ = false; }
  // Information boxes since the last TakeNotes(), for `info`.
  std::vector<std::string> TakeNotes();
  // Only errors and warnings (for --json, where the caller prints).
  void SetSilent(bool silent) { silent_ = silent; }
  // Standard output carries data (a hex dump, a file written to "-"):
  // status lines go to standard error.
  void SetDataOnStdout(bool data) { data_on_stdout_ = data; }
  // Print how long each phase (the gauge's units of work) took.
  void SetVerbose(bool verbose) { verbose_ = verbose; }
  // The simulated board's clock in nanoseconds, for the real-board times.
  void SetVirtualClock(std::function<int64_t()> now_ns) { virtual_now_ = std::move(now_ns); }
  const std::string& caption() const { return caption_; }
  // The last routine message, shown or not (--json reports it).
  const std::string& last_message() const { return last_message_; }

 private:
  FILE* StatusStream() const;
  bool ShowsStatus() const { return !silent_ && !quiet_; }
  // Ends the phase: the bar drawn full when its work finished (no error
  // since it started), then cleared, and the phase's time printed with -v.
  void EndPhase(bool finished);
  void ClearBar();
  void DrawBar(bool force);
  void PrintLine(FILE* stream, const std::string& text);

  bool quiet_;
  bool progress_;
  Answer answer_;
  bool silent_ = false;
  bool data_on_stdout_ = false;
  bool verbose_ = false;
  bool failed_ = false;
  bool refused_ = false;
  std::vector<std::string> notes_;
  std::string caption_;
  std::string last_message_;
  std::string last_line_;  // the last status line, so a repeat is printed once
  std::function<int64_t()> virtual_now_;

  // The gauge: shown from ShowGauge to HideGauge.
  bool gauge_active_ = false;
  // The current phase, from ShowGauge to the next status line: the gauge's
  // caption, range, position and start.
  bool phase_open_ = false;
  bool phase_error_ = false;
  std::string bar_text_;
  int64_t bar_max_ = 0;
  int64_t bar_pos_ = 0;
  std::chrono::steady_clock::time_point phase_start_{};
  int64_t phase_virtual_start_ = 0;

  bool bar_visible_ = false;  // drawn on the terminal now
  std::chrono::steady_clock::time_point last_draw_{};
};

// Collapses an information box's line breaks and padding into one line.
std::string OneLine(const std::string& text);

// "23.8 s", "412 ms", "35 us": a duration for a person.
std::string DurationText(int64_t ns);

}  // namespace cli
