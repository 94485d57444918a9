#include "app/controls.h"

namespace app {

ControlState& Controls::operator[](std::string_view name) {
  ++generation_;
  auto it = controls_.find(name);
  if (it == controls_.end()) it = controls_.emplace(std::string(name), ControlState{}).first;
  return it->second;
}

const ControlState* Controls::Find(std::string_view name) const {
  const auto it = controls_.find(name);
  return it == controls_.end() ? nullptr : &it->second;
}

bool Controls::Checked(std::string_view name) const {
  const auto* c = Find(name);
  return c != nullptr && c->checked;
}

bool Controls::Visible(std::string_view name) const {
  const auto* c = Find(name);
  return c == nullptr || c->visible;
}

bool Controls::Enabled(std::string_view name) const {
  const auto* c = Find(name);
  return c == nullptr || c->enabled;
}

std::string Controls::Text(std::string_view name) const {
  const auto* c = Find(name);
  return c != nullptr ? c->text : std::string();
}

int Controls::Index(std::string_view name) const {
  const auto* c = Find(name);
  return c != nullptr ? c->index : 0;
}

}  // namespace app
