#pragma once

// Settings-panel controls by key, for the command line's `--set KEY=VALUE`
// (and its `--KEY` shorthand). Each family registers the keys of its panel
// with the routines it registers; a key names the control the window shows
// and is applied the way the window applies a user's change to it, change
// handler included, so the descriptor follows.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace app {

class Programmer;

enum class OptionKind { kCheckBox, kTrackBar, kComboIndex, kEditText };

struct OptionKey {
  std::string key;  // "twc"
  // The control, or for a key that repeats (several check boxes of one
  // group) one control per index: `--set KEY=INDEX=VALUE`.
  std::vector<std::string> controls;
  OptionKind kind = OptionKind::kCheckBox;
  int64_t min = 0, max = 1;  // the value's range; kEditText: max = longest text
  std::string help;
  // The settings panel holding the controls, or several separated by '|'
  // (a control the panels share); empty: always shown.
  std::string panel;
  // kComboIndex: names for the indices from 0, accepted instead of the number.
  std::vector<std::string> choices;
  // What the window runs after the user changed the control (the new state
  // is already in the controls), e.g. the track bars' `tbTWCChange`.
  void (*changed)(Programmer&) = nullptr;
  // The value in force when the routine reads it elsewhere than from the
  // control (a track bar's descriptor field); nullptr: the control's state.
  // Only for a key that does not repeat.
  int64_t (*value)(const Programmer&) = nullptr;
  // A check box named by what unchecking it does (`--no-buffer`): 1 clears
  // the box, 0 checks it.
  bool inverted = false;
  // kComboIndex: the values a user writes, item by item (`--page-size 128`
  // chooses the item showing 128); empty: the item's index itself.
  std::vector<int64_t> values;
  // One control per panel of `panel`, in the same order: the key works the
  // control of the panel the selection shows (one option that two families
  // name each on its own panel, like the New Adapter boxes).
  bool per_panel = false;
  // The control stands for image contents (PIC configuration bytes, IDs):
  // a front door applies the key again after loading a file, so that the
  // setting overrides the file.
  bool edits_image = false;
  // kEditText: the reason the selection refuses `text`, empty when it
  // takes it; nullptr: any text within `max` characters.
  std::string (*check)(const Programmer& p, std::string_view text) = nullptr;

  bool repeats() const { return controls.size() > 1 && !per_panel; }
};

// Shorthands for registering keys; set `panel`, `changed` and `value` on
// the result where they apply.
OptionKey CheckBoxKey(std::string key, std::string control, std::string help);
OptionKey TrackBarKey(std::string key, std::string control, int64_t min, int64_t max,
                      std::string help);
OptionKey ComboIndexKey(std::string key, std::string control, int64_t min, int64_t max,
                        std::string help);

class OptionKeys {
 public:
  // Keys are unique; registering one twice is a programming error.
  void Register(OptionKey key);
  const OptionKey* Find(std::string_view key) const;
  const std::vector<OptionKey>& all() const { return keys_; }

 private:
  std::vector<OptionKey> keys_;
};

// One `KEY[=VALUE]` or `KEY=INDEX=VALUE`, parsed and range-checked.
struct OptionSetting {
  const OptionKey* key = nullptr;
  int index = 0;
  int64_t number = 0;  // check box 0/1, track bar position, combo index
  std::string text;    // kEditText
};

// Returns an empty string and fills `setting`, or the error text. A check
// box without a value is checked.
std::string ParseOptionSetting(const OptionKeys& keys, std::string_view text,
                               OptionSetting& setting);

// Whether the selection shows and enables the control (and its panel).
bool OptionUsable(const Programmer& p, const OptionKey& key, int index);

// Applies a setting as the window would; refused (error text) when the
// selection hides or disables the control.
std::string ApplyOptionSetting(Programmer& p, const OptionSetting& setting);

// The value in force, as `--set` would write it ("1", "25", "text").
std::string OptionValueText(const Programmer& p, const OptionKey& key, int index);

// "check box", "track bar", "combo index", "edit text"
std::string_view OptionKindName(OptionKind kind);

}  // namespace app
