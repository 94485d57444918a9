#pragma once

// A Host for tests: records every call in order and answers questions from a
// script, so a test can check exactly what a routine told the user.

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "app/host.h"
#include "app/programmer.h"

namespace daraz_test {

struct HostEvent {
  enum class Type {
    kMessage,    // text, kind
    kShowGauge,  // text, value = maximum, colour
    kProgress,   // value = position
    kHideGauge,
    kAsk,          // text = question, answer
    kInformation,  // text
    kCaption,      // text
    kControlsChanged,
  };
  Type type = Type::kMessage;
  std::string text;
  int kind = 0;
  int64_t value = 0;
  uint32_t colour = 0;
  bool answer = false;
};

class RecordingHost : public app::Host {
 public:
  using Type = HostEvent::Type;

  // --- app::Host ---------------------------------------------------------
  void Message(const std::string& text, int kind) override {
    HostEvent e;
    e.type = Type::kMessage;
    e.text = text;
    e.kind = kind;
    events.push_back(std::move(e));
  }
  void ShowGauge(const std::string& text, int64_t maximum, uint32_t colour) override {
    HostEvent e;
    e.type = Type::kShowGauge;
    e.text = text;
    e.value = maximum;
    e.colour = colour;
    events.push_back(std::move(e));
    gauge_visible = true;
  }
  void SetGaugeProgress(int64_t position) override {
    HostEvent e;
    e.type = Type::kProgress;
    e.value = position;
    events.push_back(std::move(e));
    ++refreshes;
    if (cancel_flag_ && cancel_at_ > 0 && refreshes - cancel_base_ == cancel_at_) {
      cancel_flag_->store(1);
    }
    if (on_progress) on_progress(position);
  }
  void HideGauge() override {
    HostEvent e;
    e.type = Type::kHideGauge;
    events.push_back(std::move(e));
    gauge_visible = false;
  }
  bool Ask(const std::string& question) override {
    bool answer = default_answer;
    if (!answers.empty()) {
      answer = answers.front();
      answers.pop_front();
    }
    HostEvent e;
    e.type = Type::kAsk;
    e.text = question;
    e.answer = answer;
    events.push_back(std::move(e));
    return answer;
  }
  void Information(const std::string& text) override {
    HostEvent e;
    e.type = Type::kInformation;
    e.text = text;
    events.push_back(std::move(e));
  }
  void SetCaption(const std::string& text) override {
    HostEvent e;
    e.type = Type::kCaption;
    e.text = text;
    events.push_back(std::move(e));
    caption = text;
  }
  void ControlsChanged() override {
    HostEvent e;
    e.type = Type::kControlsChanged;
    events.push_back(std::move(e));
    ++controls_changed;
  }
  void ProcessEvents() override {
    if (on_events) on_events();
  }

  // --- scripting -----------------------------------------------------------
  // Answers for the next questions, in order; afterwards `default_answer`.
  void AnswerNext(std::initializer_list<bool> list) {
    for (bool a : list) answers.push_back(a);
  }
  // Presses Cancel on `programmer` during the n-th gauge refresh (1-based)
  // counted from now. n <= 0 disarms.
  void CancelAtRefresh(app::Programmer& programmer, int n) {
    cancel_flag_ = &programmer.cancel;
    cancel_at_ = n;
    cancel_base_ = refreshes;
  }
  void CancelAtRefresh(std::atomic<int>& flag, int n) {
    cancel_flag_ = &flag;
    cancel_at_ = n;
    cancel_base_ = refreshes;
  }

  // Forget everything recorded so far (scripted answers stay).
  void Clear() {
    events.clear();
    refreshes = 0;
    controls_changed = 0;
    cancel_base_ = 0;
  }

  // --- queries -------------------------------------------------------------
  std::vector<HostEvent> Of(Type type) const {
    std::vector<HostEvent> out;
    for (const auto& e : events)
      if (e.type == type) out.push_back(e);
    return out;
  }
  std::vector<std::pair<std::string, int>> Messages() const {
    std::vector<std::pair<std::string, int>> out;
    for (const auto& e : events)
      if (e.type == Type::kMessage) out.emplace_back(e.text, e.kind);
    return out;
  }
  // The last status-line message, or {"", -1} when there was none.
  std::pair<std::string, int> LastMessage() const {
    for (auto it = events.rbegin(); it != events.rend(); ++it)
      if (it->type == Type::kMessage) return {it->text, it->kind};
    return {"", -1};
  }
  bool HasMessage(const std::string& text) const {
    for (const auto& e : events)
      if (e.type == Type::kMessage && e.text == text) return true;
    return false;
  }
  bool HasMessage(const std::string& text, int kind) const {
    for (const auto& e : events)
      if (e.type == Type::kMessage && e.text == text && e.kind == kind) return true;
    return false;
  }
  std::vector<std::string> Questions() const {
    std::vector<std::string> out;
    for (const auto& e : events)
      if (e.type == Type::kAsk) out.push_back(e.text);
    return out;
  }
  std::vector<std::string> Informations() const {
    std::vector<std::string> out;
    for (const auto& e : events)
      if (e.type == Type::kInformation) out.push_back(e.text);
    return out;
  }
  size_t Count(Type type) const {
    size_t n = 0;
    for (const auto& e : events)
      if (e.type == type) ++n;
    return n;
  }

  std::vector<HostEvent> events;
  std::deque<bool> answers;
  bool default_answer = true;
  bool gauge_visible = false;
  std::string caption;
  int refreshes = 0;         // SetGaugeProgress calls
  int controls_changed = 0;  // ControlsChanged calls
  // Called on every gauge refresh after recording it (e.g. to flip a fault).
  std::function<void(int64_t)> on_progress;
  // Called whenever a routine lets the window run (e.g. to press Cancel
  // while a status poll waits for the part).
  std::function<void()> on_events;

 private:
  std::atomic<int>* cancel_flag_ = nullptr;
  int cancel_at_ = 0;
  int cancel_base_ = 0;
};

}  // namespace daraz_test
