#pragma once

// Naming a device in words: the CLI's device argument, the GUI's "Find
// device" field. Names match captions without regard to case or blanks, so
// "27c16 (revk)" finds "27C16  (RevK)"; a name may be preceded by some or all
// of its groups ("EPROM / 27C256", "27Cxxx / 27C256").

#include <string>
#include <string_view>
#include <vector>

#include "app/catalogue.h"

namespace app {

struct DeviceLookup {
  // How the name was matched: a caption (or its path) as a whole, one of
  // the names a caption lists, or the start of one.
  enum class Match { kCaption, kListedName, kPrefix };

  const CatalogueNode* node = nullptr;           // the item chosen; nullptr on failure
  std::vector<const CatalogueNode*> candidates;  // every selectable item the name matched
  std::string error;                             // what went wrong, for the user
  Match match = Match::kCaption;
  bool ok() const { return node != nullptr; }
};

// Two items select the same device when they run the same handler with the
// same device code.
bool SameDevice(const CatalogueNode& a, const CatalogueNode& b);

// Finds the one selectable item a name stands for: a caption or a group
// path with a caption; else one of the names a caption lists (split at '/',
// ',' and blanks, notes in parentheses left out, a lower-case x in the
// caption standing for any letter or digit: "27C020" finds
// "27C020/2000/2001", "W27C256" finds "W27x256   (Vpe 14V)"); else the
// start of such a name. A name that matches several items is only accepted
// when they all select the same device; otherwise the candidates are
// returned with an error that names each of them with its groups.
DeviceLookup FindDevice(const Catalogue& catalogue, std::string_view name);
inline DeviceLookup FindDevice(std::string_view name) {
  return FindDevice(DeviceCatalogue(), name);
}

struct DeviceHit {
  const CatalogueNode* node = nullptr;
  std::string group_path;  // GroupPath(*node)
};

// Selectable items whose caption contains the pattern (case and blanks
// ignored), in menu order. A pattern with a '/' is matched against the
// whole path instead, so "winbond/" lists a vendor's groups. An empty
// pattern lists every selectable item.
std::vector<DeviceHit> SearchDevices(const Catalogue& catalogue, std::string_view pattern);
inline std::vector<DeviceHit> SearchDevices(std::string_view pattern) {
  return SearchDevices(DeviceCatalogue(), pattern);
}

}  // namespace app
