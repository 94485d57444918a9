#include "app/option_keys.h"

#include <algorithm>
#include <cassert>

#include "app/number_parse.h"
#include "app/programmer.h"

namespace app {
namespace {

std::string KeyList(const OptionKeys& keys) {
  std::string text;
  for (const OptionKey& key : keys.all()) {
    if (!text.empty()) text += ", ";
    text += key.key;
  }
  return text;
}

std::string ChoiceList(const OptionKey& key) {
  std::string text;
  for (const int64_t choice : key.values) {
    if (!text.empty()) text += ", ";
    text += NumberText(choice);
  }
  return text;
}

// The panel names of a '|'-separated list, in order.
std::vector<std::string_view> Panels(const std::string& list) {
  std::vector<std::string_view> out;
  for (size_t start = 0; start <= list.size();) {
    const size_t bar = std::min(list.find('|', start), list.size());
    out.push_back(std::string_view(list).substr(start, bar - start));
    start = bar + 1;
  }
  return out;
}

std::string ControlName(const Controls& c, const OptionKey& key, int index) {
  if (key.per_panel) {
    const std::vector<std::string_view> panels = Panels(key.panel);
    for (size_t i = 0; i < panels.size() && i < key.controls.size(); ++i) {
      if (c.Visible(panels[i])) return key.controls[i];
    }
    return key.controls.front();
  }
  return key.controls[static_cast<size_t>(index)];
}

}  // namespace

OptionKey CheckBoxKey(std::string key, std::string control, std::string help) {
  OptionKey k;
  k.key = std::move(key);
  k.controls = {std::move(control)};
  k.help = std::move(help);
  return k;
}

OptionKey TrackBarKey(std::string key, std::string control, int64_t min, int64_t max,
                      std::string help) {
  OptionKey k = CheckBoxKey(std::move(key), std::move(control), std::move(help));
  k.kind = OptionKind::kTrackBar;
  k.min = min;
  k.max = max;
  return k;
}

OptionKey ComboIndexKey(std::string key, std::string control, int64_t min, int64_t max,
                        std::string help) {
  OptionKey k = TrackBarKey(std::move(key), std::move(control), min, max, std::move(help));
  k.kind = OptionKind::kComboIndex;
  return k;
}

void OptionKeys::Register(OptionKey key) {
  assert(!key.controls.empty() && Find(key.key) == nullptr);
  keys_.push_back(std::move(key));
}

const OptionKey* OptionKeys::Find(std::string_view key) const {
  for (const OptionKey& k : keys_) {
    if (k.key == key) return &k;
  }
  return nullptr;
}

std::string_view OptionKindName(OptionKind kind) {
  switch (kind) {
    case OptionKind::kCheckBox:
      return "check box";
    case OptionKind::kTrackBar:
      return "track bar";
    case OptionKind::kComboIndex:
      return "combo index";
    case OptionKind::kEditText:
      return "edit text";
  }
  return "";
}

std::string ParseOptionSetting(const OptionKeys& keys, std::string_view text,
                               OptionSetting& setting) {
  const size_t equals = text.find('=');
  const std::string_view name = text.substr(0, equals);
  const OptionKey* key = keys.Find(name);
  if (key == nullptr) {
    return "unknown key \"" + std::string(name) + "\" (the keys: " + KeyList(keys) + ")";
  }
  OptionSetting out;
  out.key = key;
  std::string_view rest;
  bool has_value = equals != std::string_view::npos;
  if (has_value) rest = text.substr(equals + 1);

  if (key->repeats()) {
    const int last = static_cast<int>(key->controls.size()) - 1;
    if (!has_value) {
      return key->key + " repeats: write " + key->key + "=INDEX=VALUE, INDEX from 0 to " +
             std::to_string(last);
    }
    const size_t second = rest.find('=');
    int64_t index = 0;
    const std::string error =
        ParseNumberInRange(rest.substr(0, second), key->key + " INDEX", 0, last, index);
    if (!error.empty()) return error;
    out.index = static_cast<int>(index);
    has_value = second != std::string_view::npos;
    rest = has_value ? rest.substr(second + 1) : std::string_view();
  }

  switch (key->kind) {
    case OptionKind::kCheckBox:
      if (!has_value) {
        out.number = 1;
        break;
      }
      [[fallthrough]];
    case OptionKind::kTrackBar:
    case OptionKind::kComboIndex: {
      const auto choice = std::find(key->choices.begin(), key->choices.end(), rest);
      if (has_value && choice != key->choices.end()) {
        out.number = choice - key->choices.begin();
        break;
      }
      if (!has_value) {
        return key->key + " needs a value from " + NumberText(key->min) + " to " +
               NumberText(key->max) + " (" + key->key + "=VALUE)";
      }
      const std::string error = ParseNumberInRange(rest, key->key, key->min, key->max, out.number);
      if (!error.empty()) return error;
      if (!key->values.empty()) {
        const auto it = std::find(key->values.begin(), key->values.end(), out.number);
        if (it == key->values.end()) return key->key + " must be one of " + ChoiceList(*key);
        out.number = it - key->values.begin();
      }
      break;
    }
    case OptionKind::kEditText:
      if (!has_value) return key->key + " needs a text (" + key->key + "=TEXT)";
      if (key->max > 0 && rest.size() > static_cast<size_t>(key->max)) {
        return key->key + " takes at most " + std::to_string(key->max) + " characters";
      }
      out.text = std::string(rest);
      break;
  }
  setting = std::move(out);
  return {};
}

bool OptionUsable(const Programmer& p, const OptionKey& key, int index) {
  const Controls& c = p.controls;
  if (!key.panel.empty()) {
    bool shown = false;
    for (const std::string_view panel : Panels(key.panel)) shown = shown || c.Visible(panel);
    if (!shown) return false;
  }
  const std::string control = ControlName(c, key, index);
  return c.Visible(control) && c.Enabled(control);
}

std::string ApplyOptionSetting(Programmer& p, const OptionSetting& setting) {
  const OptionKey& key = *setting.key;
  const std::string control = ControlName(p.controls, key, setting.index);
  if (!OptionUsable(p, key, setting.index)) {
    return key.key + ": the selected device's settings hide or disable its control " + control;
  }
  if (key.kind == OptionKind::kEditText && key.check != nullptr) {
    const std::string refusal = key.check(p, setting.text);
    if (!refusal.empty()) return key.key + ": " + refusal;
  }
  Controls& c = p.controls;
  switch (key.kind) {
    case OptionKind::kCheckBox:
      c.Check(control, (setting.number != 0) != key.inverted);
      break;
    case OptionKind::kTrackBar:
    case OptionKind::kComboIndex:
      c[control].index = static_cast<int>(setting.number);
      break;
    case OptionKind::kEditText:
      c.SetText(control, setting.text);
      break;
  }
  if (key.changed != nullptr) key.changed(p);
  return {};
}

std::string OptionValueText(const Programmer& p, const OptionKey& key, int index) {
  if (key.value != nullptr) return std::to_string(key.value(p));
  const Controls& c = p.controls;
  const std::string control = ControlName(c, key, index);
  switch (key.kind) {
    case OptionKind::kCheckBox:
      return c.Checked(control) != key.inverted ? "1" : "0";
    case OptionKind::kTrackBar:
    case OptionKind::kComboIndex: {
      const int index_shown = c.Index(control);
      if (!key.values.empty() && index_shown >= 0 &&
          index_shown < static_cast<int>(key.values.size())) {
        return std::to_string(key.values[static_cast<size_t>(index_shown)]);
      }
      return std::to_string(index_shown);
    }
    case OptionKind::kEditText:
      return c.Text(control);
  }
  return {};
}

}  // namespace app
