#include "cli/cli_host.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <iostream>

#include "cli/report.h"
#include "cli/signals.h"

namespace cli {

std::string OneLine(const std::string& text) {
  std::string out;
  bool blank = true;
  for (char c : text) {
    if (c == '\n' || c == '\r' || c == '\t' || c == ' ') {
      if (!blank) out += ' ';
      blank = true;
    } else {
      out += c;
      blank = false;
    }
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

std::string DurationText(int64_t ns) {
  char text[32];
  if (ns >= 1'000'000'000) {
    std::snprintf(text, sizeof text, "%.1f s", static_cast<double>(ns) / 1e9);
  } else if (ns >= 1'000'000) {
    std::snprintf(text, sizeof text, "%.0f ms", static_cast<double>(ns) / 1e6);
  } else {
    std::snprintf(text, sizeof text, "%.0f us", static_cast<double>(ns) / 1e3);
  }
  return text;
}

CliHost::CliHost(bool quiet, bool progress, Answer answer)
    : quiet_(quiet), progress_(progress && isatty(STDERR_FILENO)), answer_(answer) {}

FILE* CliHost::StatusStream() const { return data_on_stdout_ ? stderr : stdout; }

void CliHost::PrintLine(FILE* stream, const std::string& text) {
  ClearBar();
  if (stream == stderr) std::fflush(stdout);
  std::fprintf(stream, "%s\n", text.c_str());
  std::fflush(stream);
}

void CliHost::Message(const std::string& text, int kind) {
  last_message_ = text;
  const bool error = kind == hw::kError;
  if (error) {
    failed_ = true;
    phase_error_ = true;
    NoteError(text);
  }
  // Progress captions ("Reading Chip", ...) are the bar's label, not news.
  if (kind == hw::kInfo && gauge_active_ && text == bar_text_) return;
  if (!error && !ShowsStatus()) return;
  // A routine that shows the same text twice in a row says it once.
  const std::string line = std::to_string(kind) + text;
  if (line == last_line_) return;
  // A status line ends the phase: its work is done, or stopped by an error.
  if (phase_open_) EndPhase(!phase_error_);
  PrintLine(error ? stderr : StatusStream(), text);
  last_line_ = line;
}

void CliHost::Status(const std::string& text) {
  if (!ShowsStatus()) return;
  PrintLine(StatusStream(), text);
  last_line_.clear();
}

void CliHost::ShowGauge(const std::string& text, int64_t maximum, uint32_t) {
  if (phase_open_) EndPhase(!phase_error_);
  gauge_active_ = true;
  phase_open_ = true;
  phase_error_ = false;
  bar_text_ = text;
  bar_max_ = maximum;
  bar_pos_ = 0;
  phase_start_ = std::chrono::steady_clock::now();
  phase_virtual_start_ = virtual_now_ ? virtual_now_() : 0;
  // The caption itself came as a status message just before.
  DrawBar(true);
}

void CliHost::SetGaugeProgress(int64_t position) {
  bar_pos_ = position;
  // The last step is always drawn, whatever the time since the one before.
  DrawBar(bar_max_ > 0 && position >= bar_max_);
}

void CliHost::HideGauge() {
  if (phase_open_) EndPhase(!phase_error_);
  ClearBar();
  gauge_active_ = false;
}

void CliHost::ProcessEvents() { ReassertCancel(); }

void CliHost::EndPhase(bool finished) {
  // A unit of work that finished ends at 100 %, whatever step the routine
  // last reported; the bar is then cleared for the line that follows.
  if (finished && bar_visible_) {
    bar_pos_ = bar_max_;
    DrawBar(true);
  }
  ClearBar();
  phase_open_ = false;
  if (verbose_ && ShowsStatus()) {
    std::string text = bar_text_ + ": " +
                       DurationText(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                        std::chrono::steady_clock::now() - phase_start_)
                                        .count());
    if (virtual_now_) {
      text += " (" + DurationText(virtual_now_() - phase_virtual_start_) + " on a real board)";
    }
    PrintLine(StatusStream(), text);
    last_line_.clear();
  }
}

void CliHost::ClearBar() {
  if (!bar_visible_) return;
  std::fprintf(stderr, "\r\033[K");
  std::fflush(stderr);
  bar_visible_ = false;
}

void CliHost::DrawBar(bool force) {
  if (!gauge_active_ || !progress_ || !ShowsStatus()) return;
  const auto now = std::chrono::steady_clock::now();
  if (!force && now - last_draw_ < std::chrono::milliseconds(100)) return;
  last_draw_ = now;
  constexpr int kWidth = 40;
  const double fraction =
      bar_max_ > 0 ? std::min(1.0, std::max(0.0, static_cast<double>(bar_pos_) / bar_max_)) : 0;
  const int filled = static_cast<int>(fraction * kWidth);
  std::string bar(filled, '#');
  bar.append(kWidth - filled, '.');
  std::fprintf(stderr, "\r%-26.26s [%s] %3d%%", bar_text_.c_str(), bar.c_str(),
               static_cast<int>(fraction * 100));
  std::fflush(stderr);
  bar_visible_ = true;
}

bool CliHost::Ask(const std::string& question) {
  switch (answer_) {
    case Answer::kYes:
      return true;
    case Answer::kNo:
      return false;
    case Answer::kAsk:
      break;
  }
  if (!isatty(STDIN_FILENO)) {
    refused_ = true;
    failed_ = true;
    ClearBar();
    Error("question needs an answer: \"" + question + "\" (use --yes or --no)");
    return false;
  }
  ClearBar();
  std::fprintf(stderr, "%s? [y/N] ", question.c_str());
  std::fflush(stderr);
  std::string line;
  std::getline(std::cin, line);
  DrawBar(true);
  return !line.empty() && (line[0] == 'y' || line[0] == 'Y');
}

void CliHost::Information(const std::string& text) {
  notes_.push_back(OneLine(text));
  if (!ShowsStatus()) return;
  PrintLine(StatusStream(), "note: " + OneLine(text));
  last_line_.clear();
}

void CliHost::Warning(const std::string& text) {
  PrintLine(stderr, "warning: " + OneLine(text));
  last_line_.clear();
}

bool CliHost::Instruction(const std::string& text) {
  notes_.push_back(OneLine(text));
  return Ask(OneLine(text) + " -- done");
}

std::vector<std::string> CliHost::TakeNotes() {
  std::vector<std::string> notes;
  notes.swap(notes_);
  return notes;
}

}  // namespace cli
