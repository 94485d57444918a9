#pragma once

// A small reader of VCD waveform files, for tests that check a trace by its
// signals: the declared variables, each signal's value changes, the value at
// a time, and the pulses of a one-bit signal.

#include <cstdint>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace daraz_test {

struct VcdChange {
  int64_t time = 0;
  std::string value;  // "0", "1", "x", "z", or a vector's digits without the 'b'

  // The value as a number; nothing when a digit is x or z.
  std::optional<uint64_t> Number() const {
    uint64_t n = 0;
    for (const char c : value) {
      if (c != '0' && c != '1') return std::nullopt;
      n = (n << 1) | static_cast<uint64_t>(c - '0');
    }
    return n;
  }
};

struct VcdVar {
  std::string scope;  // enclosing scopes joined with '.', e.g. "board.socket"
  std::string name;
  std::string type;
  int width = 0;
  std::string id;
  std::string range;  // as declared after the name, e.g. "[7:0]"; may be empty
};

// One interval a one-bit signal spent at a level, between two real edges.
struct VcdPulse {
  int64_t start = 0;
  int64_t end = 0;
  int64_t width() const { return end - start; }
};

class VcdFile {
 public:
  bool Load(const std::string& path, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
      *error = "cannot open " + path;
      return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return Parse(text.str(), error);
  }

  // Reads the whole text; false, with the reason, on anything malformed,
  // including a timestamp that is not later than the one before.
  bool Parse(std::string_view text, std::string* error) {
    *this = VcdFile();
    size_t pos = 0;
    const auto next = [&]() -> std::string_view {
      while (pos < text.size() && IsSpace(text[pos])) ++pos;
      const size_t start = pos;
      while (pos < text.size() && !IsSpace(text[pos])) ++pos;
      return text.substr(start, pos - start);
    };
    // The words up to "$end", joined with single spaces.
    const auto until_end = [&](std::string* words) {
      for (std::string_view t = next(); !t.empty(); t = next()) {
        if (t == "$end") return true;
        if (!words->empty()) *words += ' ';
        *words += t;
      }
      return false;
    };
    std::vector<std::string> scopes;
    bool have_time = false;
    for (std::string_view t = next(); !t.empty(); t = next()) {
      std::string words;
      if (t == "$timescale") {
        if (!until_end(&timescale_)) return Fail(error, "unterminated $timescale");
      } else if (t == "$scope") {
        if (!until_end(&words)) return Fail(error, "unterminated $scope");
        const size_t space = words.find(' ');
        scopes.push_back(space == std::string::npos ? words : words.substr(space + 1));
      } else if (t == "$upscope") {
        if (!until_end(&words) || scopes.empty()) return Fail(error, "unbalanced $upscope");
        scopes.pop_back();
      } else if (t == "$var") {
        if (!until_end(&words)) return Fail(error, "unterminated $var");
        std::istringstream fields(words);
        VcdVar var;
        if (!(fields >> var.type >> var.width >> var.id >> var.name) || var.width <= 0) {
          return Fail(error, "bad $var: " + words);
        }
        std::getline(fields >> std::ws, var.range);
        for (size_t i = 0; i < scopes.size(); ++i) var.scope += (i ? "." : "") + scopes[i];
        vars_.push_back(var);
        changes_[var.id];
      } else if (t == "$comment" || t == "$date" || t == "$version" || t == "$enddefinitions") {
        if (!until_end(&words)) return Fail(error, "unterminated " + std::string(t));
        definitions_done_ = definitions_done_ || t == "$enddefinitions";
      } else if (t == "$dumpvars" || t == "$dumpall" || t == "$dumpon" || t == "$dumpoff" ||
                 t == "$end") {
        // Markers around ordinary value changes.
      } else if (t[0] == '#') {
        const auto time = ParseTime(t.substr(1));
        if (!time) return Fail(error, "bad timestamp " + std::string(t));
        if (have_time && *time <= now_) {
          return Fail(error, "timestamp " + std::string(t) + " not after #" + std::to_string(now_));
        }
        now_ = *time;
        have_time = true;
        timestamps_.push_back(now_);
      } else if (t[0] == 'b' || t[0] == 'B' || t[0] == 'r' || t[0] == 'R') {
        const std::string_view id = next();
        if (!Change(id, std::string(t.substr(1)), have_time, error)) return false;
      } else if (std::string_view("01xXzZ").find(t[0]) != std::string_view::npos) {
        if (!Change(t.substr(1), std::string(1, Lower(t[0])), have_time, error)) return false;
      } else {
        return Fail(error, "unexpected \"" + std::string(t) + "\"");
      }
    }
    if (!definitions_done_) return Fail(error, "no $enddefinitions");
    return true;
  }

  const std::string& timescale() const { return timescale_; }
  const std::vector<VcdVar>& vars() const { return vars_; }
  const std::vector<int64_t>& timestamps() const { return timestamps_; }
  int64_t end_time() const { return now_; }

  // By its name alone or with its scope ("vcc", "board.socket.vcc").
  const VcdVar* Find(std::string_view name) const {
    for (const VcdVar& v : vars_) {
      if (v.name == name || v.scope + "." + v.name == name) return &v;
    }
    return nullptr;
  }

  // Every value change of the signal in file order, the initial values
  // included; empty for an unknown name.
  std::vector<VcdChange> Changes(std::string_view name) const {
    const VcdVar* v = Find(name);
    if (v == nullptr) return {};
    return changes_.at(v->id);
  }

  // The signal's value after every change up to and including `time`.
  std::optional<VcdChange> ValueAt(std::string_view name, int64_t time) const {
    std::optional<VcdChange> value;
    for (const VcdChange& c : Changes(name)) {
      if (c.time > time) break;
      value = c;
    }
    return value;
  }

  // The intervals a one-bit signal spent at `level` ('0' or '1'), each
  // opened and closed by a change of value; the initial value and a level
  // still held at the end do not count.
  std::vector<VcdPulse> Pulses(std::string_view name, char level) const {
    std::vector<VcdPulse> pulses;
    const std::vector<VcdChange> changes = Changes(name);
    bool in_pulse = false;
    int64_t start = 0;
    for (size_t i = 1; i < changes.size(); ++i) {
      if (changes[i].value == changes[i - 1].value) continue;
      const bool at_level = changes[i].value.size() == 1 && changes[i].value[0] == level;
      if (at_level) {
        in_pulse = true;
        start = changes[i].time;
      } else if (in_pulse) {
        pulses.push_back({start, changes[i].time});
        in_pulse = false;
      }
    }
    return pulses;
  }

 private:
  static bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
  static char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }
  static bool Fail(std::string* error, const std::string& why) {
    *error = why;
    return false;
  }
  static std::optional<int64_t> ParseTime(std::string_view digits) {
    if (digits.empty()) return std::nullopt;
    int64_t n = 0;
    for (const char c : digits) {
      if (c < '0' || c > '9') return std::nullopt;
      n = n * 10 + (c - '0');
    }
    return n;
  }

  bool Change(std::string_view id, std::string value, bool have_time, std::string* error) {
    const auto it = changes_.find(std::string(id));
    if (it == changes_.end())
      return Fail(error, "change of undeclared id \"" + std::string(id) + "\"");
    if (!have_time || !definitions_done_) return Fail(error, "value change before a timestamp");
    if (value.empty()) return Fail(error, "empty value for id \"" + std::string(id) + "\"");
    for (char& c : value) c = Lower(c);
    it->second.push_back({now_, std::move(value)});
    return true;
  }

  std::string timescale_;
  std::vector<VcdVar> vars_;
  std::map<std::string, std::vector<VcdChange>, std::less<>> changes_;
  std::vector<int64_t> timestamps_;
  int64_t now_ = 0;
  bool definitions_done_ = false;
};

}  // namespace daraz_test
