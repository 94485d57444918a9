#include "app/dispatch.h"

#include <cassert>

namespace app {

void FamilyRegistry::Register(int family, Action action, Routine routine) {
  assert(family >= 0 && family < kFamilyCount);
  cells_[family][static_cast<int>(action)] = routine;
}

Routine FamilyRegistry::Find(int family, Action action) const {
  if (family < 0 || family >= kFamilyCount) return nullptr;
  return cells_[family][static_cast<int>(action)];
}

void FamilyRegistry::RegisterHandler(HandlerId id, SelectHandler handler) {
  handlers_[static_cast<int>(id)] = handler;
}

SelectHandler FamilyRegistry::FindHandler(HandlerId id) const {
  const int i = static_cast<int>(id);
  if (i <= 0 || i >= static_cast<int>(HandlerId::kCount)) return nullptr;
  return handlers_[i];
}

void FamilyRegistry::RegisterGuided(int family, const GuidedProcedure* procedure) {
  assert(family >= 0 && family < kFamilyCount);
  guided_[family] = procedure;
}

const GuidedProcedure* FamilyRegistry::FindGuided(int family) const {
  if (family < 0 || family >= kFamilyCount) return nullptr;
  return guided_[family];
}

void FamilyRegistry::RegisterLoaded(int family, Routine routine) {
  assert(family >= 0 && family < kFamilyCount);
  loaded_[family] = routine;
}

Routine FamilyRegistry::FindLoaded(int family) const {
  if (family < 0 || family >= kFamilyCount) return nullptr;
  return loaded_[family];
}

const FamilyRegistry& Families() {
  static const FamilyRegistry registry = [] {
    FamilyRegistry r;
    RegisterAllFamilies(r);
    return r;
  }();
  return registry;
}

}  // namespace app
