#pragma once

// The family settings panels of the "Settings" page. A family describes its
// panel as data — check boxes, radio buttons, fields, lists, track bars and
// buttons, each by its control name — and the page builds the widgets,
// shows the panel while the core marks it visible, and keeps every widget
// in step with the control of the same name. A panel that needs more can
// register a factory that builds its own widget instead.

#include <functional>
#include <map>
#include <span>
#include <string>
#include <vector>

class QWidget;

namespace app {
class Programmer;
}

namespace ui {

class ControlBinder;

struct PanelControl {
  enum class Kind {
    kCheck,     // check box: `checked`
    kRadio,     // radio button: `checked`; radios in one panel form a group
    kLabel,     // text the core sets (a caption when `caption` is given)
    kField,     // read-only field showing the control's text
    kCombo,     // drop-down list: `items`, `index`
    kTrackBar,  // slider from `minimum` to `maximum`: `index`
    kButton,    // runs `run` on the worker thread, like a chip action
  };
  Kind kind = Kind::kCheck;
  std::string name;     // the control's name (`cbSkip_0xFF`, `tbTWC`, ...)
  std::string caption;  // shown until the core sets a text
  // Called on the window thread after the user changed the control (the
  // new state is already in the controls); for handlers like `tbTWCChange`.
  // A factory-built panel adds its handlers to PanelContext::hooks.
  void (*changed)(app::Programmer&) = nullptr;
  // kButton: the routine the button starts.
  void (*run)(app::Programmer&) = nullptr;
  int minimum = 0, maximum = 100;  // kTrackBar
  std::vector<std::string> items;  // kCombo: items until the core sets them
};

// Shorthands for writing panel descriptions.
namespace panel {
using Handler = void (*)(app::Programmer&);
inline PanelControl Check(std::string name, std::string caption, Handler changed = nullptr) {
  PanelControl c;
  c.kind = PanelControl::Kind::kCheck;
  c.name = std::move(name);
  c.caption = std::move(caption);
  c.changed = changed;
  return c;
}
inline PanelControl Radio(std::string name, std::string caption, Handler changed = nullptr) {
  PanelControl c = Check(std::move(name), std::move(caption), changed);
  c.kind = PanelControl::Kind::kRadio;
  return c;
}
inline PanelControl Label(std::string name, std::string caption = {}) {
  PanelControl c = Check(std::move(name), std::move(caption));
  c.kind = PanelControl::Kind::kLabel;
  return c;
}
inline PanelControl Field(std::string name, std::string caption) {
  PanelControl c = Check(std::move(name), std::move(caption));
  c.kind = PanelControl::Kind::kField;
  return c;
}
inline PanelControl Combo(std::string name, std::string caption, std::vector<std::string> items,
                          Handler changed = nullptr) {
  PanelControl c = Check(std::move(name), std::move(caption), changed);
  c.kind = PanelControl::Kind::kCombo;
  c.items = std::move(items);
  return c;
}
inline PanelControl TrackBar(std::string name, std::string caption, int minimum, int maximum,
                             Handler changed = nullptr) {
  PanelControl c = Check(std::move(name), std::move(caption), changed);
  c.kind = PanelControl::Kind::kTrackBar;
  c.minimum = minimum;
  c.maximum = maximum;
  return c;
}
inline PanelControl Button(std::string name, std::string caption, Handler run) {
  PanelControl c = Check(std::move(name), std::move(caption));
  c.kind = PanelControl::Kind::kButton;
  c.run = run;
  return c;
}
}  // namespace panel

struct PanelDef {
  std::string name;   // the panel's control name (`p27CSettings`, ...)
  std::string title;  // its group-box caption
  std::vector<PanelControl> controls;
};

// What a panel factory gets to build a panel with.
struct PanelContext {
  app::Programmer& programmer;
  ControlBinder& binder;
  // Starts a routine on the worker thread (refused while one runs).
  std::function<void(void (*)(app::Programmer&))> run;
  // Per-control handlers of the panels built so far, by control name.
  std::map<std::string, void (*)(app::Programmer&)> hooks;
};

using PanelFactory = QWidget* (*)(PanelContext& context);

class PanelRegistry {
 public:
  void Add(PanelDef def) { panels_.push_back(std::move(def)); }
  // A panel built by code; `name` is its control name.
  void AddFactory(std::string name, PanelFactory factory) {
    factories_.push_back({std::move(name), factory});
  }
  const std::vector<PanelDef>& panels() const { return panels_; }
  struct Factory {
    std::string name;
    PanelFactory make;
  };
  const std::vector<Factory>& factories() const { return factories_; }

 private:
  std::vector<PanelDef> panels_;
  std::vector<Factory> factories_;
};

// Every panel that is built in; each family adds its own line in
// panels/registry.cpp.
void RegisterAllPanels(PanelRegistry& registry);

// The options every family shares, shown above the family panels.
PanelDef CommonOptionsPanel();

}  // namespace ui
