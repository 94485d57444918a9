#pragma once

#include <array>
#include <string>

#include "app/handler_id.h"
#include "app/option_keys.h"

namespace app {

class Programmer;
struct GuidedProcedure;

enum class Action { kRead = 0, kProgram, kVerify, kBlank, kErase, kGetId };
inline constexpr int kActionCount = 6;
inline constexpr int kFamilyCount = 58;  // family type codes 0..57

using Routine = void (*)(Programmer&);

// The item a family handler is called with: it reads only the Tag and the
// Caption.
struct SelectItem {
  int tag = 0;
  std::string caption;
};
using SelectHandler = void (*)(Programmer&, const SelectItem&);

// Family type code x action -> routine, handler id -> selection handler,
// and the keys of the families' settings-panel controls. Each family
// registers what it owns; the action frame, the catalogue and the command
// line's `--set` look here.
class FamilyRegistry {
 public:
  void Register(int family, Action action, Routine routine);
  Routine Find(int family, Action action) const;
  void RegisterHandler(HandlerId id, SelectHandler handler);
  SelectHandler FindHandler(HandlerId id) const;
  void RegisterOption(OptionKey key) { options_.Register(std::move(key)); }
  const OptionKeys& options() const { return options_; }
  // The guided procedure (gbUnprotect) a family's erase opens.
  void RegisterGuided(int family, const GuidedProcedure* procedure);
  const GuidedProcedure* FindGuided(int family) const;
  // What a family refreshes from the image after a file was loaded into it
  // (a configuration panel showing the file's word).
  void RegisterLoaded(int family, Routine routine);
  Routine FindLoaded(int family) const;

 private:
  OptionKeys options_;
  std::array<std::array<Routine, kActionCount>, kFamilyCount> cells_{};
  std::array<SelectHandler, static_cast<int>(HandlerId::kCount)> handlers_{};
  std::array<const GuidedProcedure*, kFamilyCount> guided_{};
  std::array<Routine, kFamilyCount> loaded_{};
};

// The registry with every family that is built in.
const FamilyRegistry& Families();

// Called once to fill the registry; each family adds its own Register call
// in families/registry.cpp.
void RegisterAllFamilies(FamilyRegistry& registry);

}  // namespace app
