#include "cli/cli_host.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>

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

CliHost::CliHost(bool quiet, bool progress, Answer answer)
    : quiet_(quiet), progress_(progress && isatty(STDERR_FILENO)), answer_(answer) {}

void CliHost::Message(const std::string& text, int kind) {
  if (kind == hw::kError) failed_ = true;
  if (silent_) return;
  // Progress captions ("Reading Chip", ...) are the bar's label, not news.
  if (kind == hw::kInfo && bar_shown_ && text == bar_text_) return;
  ClearBar();
  if (kind == hw::kError) {
    std::fprintf(stderr, "%s\n", text.c_str());
  } else if (!quiet_) {
    std::fprintf(stdout, "%s\n", text.c_str());
    std::fflush(stdout);
  }
  DrawBar(true);
}

void CliHost::ShowGauge(const std::string& text, int64_t maximum, uint32_t) {
  ClearBar();
  bar_text_ = text;
  bar_max_ = maximum;
  bar_pos_ = 0;
  // The caption itself came as a status message just before.
  if (!progress_ || quiet_ || silent_) return;
  bar_shown_ = true;
  DrawBar(true);
}

void CliHost::SetGaugeProgress(int64_t position) {
  bar_pos_ = position;
  DrawBar(false);
}

void CliHost::HideGauge() {
  ClearBar();
  bar_shown_ = false;
}

void CliHost::ClearBar() {
  if (bar_shown_) std::fprintf(stderr, "\r\033[K");
}

void CliHost::DrawBar(bool force) {
  if (!bar_shown_) return;
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
    std::fprintf(stderr, "daraz: question needs an answer: \"%s\" (use --yes or --no)\n",
                 question.c_str());
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
  if (silent_ || quiet_) return;
  ClearBar();
  std::fprintf(stdout, "note: %s\n", OneLine(text).c_str());
  DrawBar(true);
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
