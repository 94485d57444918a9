#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace app {

// The state of one window control that selections and routines touch:
// a check box, a label, an edit field, a panel, a menu command.
struct ControlState {
  bool visible = true;
  bool enabled = true;
  bool checked = false;
  std::string text;                // caption or edit text
  int index = 0;                   // combo box / radio group / track bar position
  std::vector<std::string> items;  // combo box items
  uint32_t colour = 0;             // text colour, Windows order 0x00BBGGRR
};

// Every control by its name in the main window (`cbSkip_0xFF`, `edOffset`,
// `p27CSettings`, `mnuErase`, ...). The core changes these as plain data; the
// GUI renders them and the command line prints the ones that matter. Keyed
// by name so that each family adds its own controls without touching a
// shared struct.
class Controls {
 public:
  ControlState& operator[](std::string_view name);
  const ControlState* Find(std::string_view name) const;
  bool Checked(std::string_view name) const;
  bool Visible(std::string_view name) const;
  bool Enabled(std::string_view name) const;
  std::string Text(std::string_view name) const;
  int Index(std::string_view name) const;

  void Show(std::string_view name, bool visible = true) { (*this)[name].visible = visible; }
  void Enable(std::string_view name, bool enabled = true) { (*this)[name].enabled = enabled; }
  void Check(std::string_view name, bool checked = true) { (*this)[name].checked = checked; }
  void SetText(std::string_view name, std::string text) { (*this)[name].text = std::move(text); }

  const std::map<std::string, ControlState, std::less<>>& all() const { return controls_; }
  // Bumped on every mutable access, so a front door can tell what changed.
  uint64_t generation() const { return generation_; }

 private:
  std::map<std::string, ControlState, std::less<>> controls_;
  uint64_t generation_ = 0;
};

}  // namespace app
