#include "app/device_lookup.h"

#include <algorithm>
#include <cstddef>

namespace app {
namespace {

// How many near names an unknown-name error offers.
constexpr std::size_t kMaxSuggestions = 5;
// How many devices an ambiguous-name error lists.
constexpr std::size_t kMaxCandidates = 20;

// The folded captions of the groups above a node, top-level first.
std::vector<std::string_view> GroupKeys(const Catalogue& catalogue, const CatalogueNode& node) {
  std::vector<std::string_view> keys;
  for (const CatalogueNode* n = node.parent; n != nullptr && n->parent != nullptr; n = n->parent) {
    keys.insert(keys.begin(), catalogue.Key(*n));
  }
  return keys;
}

// Does `rest` spell some of `groups`, in order, from `from` on, joined by
// '/'? Captions may hold '/' themselves ("Firmware HUB / LPC"), so the
// name is matched against the captions rather than split at each '/'.
bool MatchesGroups(std::string_view rest, const std::vector<std::string_view>& groups,
                   std::size_t from) {
  for (std::size_t j = from; j < groups.size(); ++j) {
    const std::string_view g = groups[j];
    if (g.empty() || !rest.starts_with(g)) continue;
    const std::string_view after = rest.substr(g.size());
    if (after.empty()) return true;
    if (after.front() == '/' && MatchesGroups(after.substr(1), groups, j + 1)) return true;
  }
  return false;
}

// Does a folded name stand for this item, by caption or by path?
bool NameMatches(const Catalogue& catalogue, const CatalogueNode& item, std::string_view name) {
  const std::string_view key = catalogue.Key(item);
  if (name == key) return true;
  if (name.size() < key.size() + 2 || !name.ends_with(key)) return false;
  const std::string_view prefix = name.substr(0, name.size() - key.size());
  if (prefix.back() != '/') return false;
  return MatchesGroups(prefix.substr(0, prefix.size() - 1), GroupKeys(catalogue, item), 0);
}

// The names one caption lists, as typed in the caption: the caption without
// its notes in parentheses, split at '/', ',' and runs of blanks.
// "27C020/2000/2001" lists 27C020, 2000 and 2001; "AT90S2313   DIP20"
// lists AT90S2313 and DIP20.
std::vector<std::string_view> CaptionTokens(std::string_view caption) {
  std::vector<std::string_view> tokens;
  int depth = 0;
  size_t start = std::string_view::npos;
  for (size_t i = 0; i <= caption.size(); ++i) {
    const char c = i < caption.size() ? caption[i] : ' ';
    const bool separator =
        depth > 0 || c == '/' || c == ',' || c == ' ' || c == '\t' || c == '(' || c == ')';
    if (c == '(') ++depth;
    if (c == ')' && depth > 0) --depth;
    if (separator) {
      if (start != std::string_view::npos) tokens.push_back(caption.substr(start, i - start));
      start = std::string_view::npos;
    } else if (start == std::string_view::npos) {
      start = i;
    }
  }
  return tokens;
}

bool IsAlnum(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Does a folded name spell a caption's token (or, with `prefix`, the start
// of one)? A lower-case x in a caption stands for any letter or digit, the
// way the catalogue writes a series: "W27x256" is the W27C256 and the
// W27E256.
bool TokenMatches(std::string_view token, std::string_view name, bool prefix) {
  if (name.size() > token.size() || (!prefix && name.size() != token.size())) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    const char t = token[i];
    if (t == 'x' && IsAlnum(name[i])) continue;
    const char folded = (t >= 'A' && t <= 'Z') ? static_cast<char>(t - 'A' + 'a') : t;
    if (folded != name[i]) return false;
  }
  return true;
}

// The names one caption gives a device as a whole: "27C1024, 27C210" names
// two parts, and "27C16  (RevK)" is also the 27C16 without its note.
std::vector<std::string> AliasKeys(std::string_view caption) {
  std::vector<std::string> keys;
  size_t start = 0;
  while (start <= caption.size()) {
    size_t comma = caption.find(',', start);
    if (comma == std::string_view::npos) comma = caption.size();
    std::string_view part = caption.substr(start, comma - start);
    const size_t open = part.find('(');
    if (open != std::string_view::npos && part.back() == ')') part = part.substr(0, open);
    std::string key = FoldName(part);
    if (!key.empty()) keys.push_back(std::move(key));
    start = comma + 1;
  }
  return keys;
}

// Does a folded name stand for one of the names a caption lists, whole or
// (with `prefix`) as its start?
bool ListedNameMatches(const CatalogueNode& item, std::string_view name, bool prefix) {
  for (const std::string& key : AliasKeys(item.caption)) {
    if (prefix ? key.starts_with(name) : key == name) return true;
  }
  for (std::string_view token : CaptionTokens(item.caption)) {
    if (TokenMatches(token, name, prefix)) return true;
  }
  return false;
}

// A name folded less far: case ignored, each run of blanks read as one.
std::string FoldKeepingWords(std::string_view name) {
  std::string folded;
  bool blank = false;
  for (char c : name) {
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
      blank = true;
      continue;
    }
    if (blank && !folded.empty()) folded += ' ';
    blank = false;
    folded += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  return folded;
}

bool AllSameDevice(const std::vector<const CatalogueNode*>& nodes) {
  for (const CatalogueNode* n : nodes) {
    if (!SameDevice(*nodes.front(), *n)) return false;
  }
  return !nodes.empty();
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// A usable item with the same device code next to an inert one: the item a
// user most likely meant.
const CatalogueNode* SelectableTwin(const CatalogueNode& inert) {
  if (inert.parent == nullptr || inert.tag == 0) return nullptr;
  for (const CatalogueNode& sibling : inert.parent->children) {
    if (&sibling != &inert && sibling.tag == inert.tag && IsSelectable(sibling)) return &sibling;
  }
  return nullptr;
}

std::string AmbiguousError(std::string_view name, const std::vector<const CatalogueNode*>& all) {
  // One of each device, so that an item listed under two groups counts once.
  std::vector<const CatalogueNode*> devices;
  for (const CatalogueNode* n : all) {
    bool seen = false;
    for (const CatalogueNode* d : devices) seen = seen || SameDevice(*d, *n);
    if (!seen) devices.push_back(n);
  }
  std::string text = Quoted(name) + " names " + std::to_string(devices.size()) +
                     " devices; name one with its group: ";
  const std::size_t shown = std::min(devices.size(), kMaxCandidates);
  for (std::size_t i = 0; i < shown; ++i) {
    if (i > 0) text += i + 1 == devices.size() ? " or " : ", ";
    text += Quoted(FullPath(*devices[i]));
  }
  if (shown < devices.size()) {
    text += ", and " + std::to_string(devices.size() - shown) + " more";
  }
  return text + ".";
}

std::string UnknownError(const Catalogue& catalogue, std::string_view name) {
  std::string text = "No device is named " + Quoted(name) + ".";
  const std::vector<DeviceHit> near = SearchDevices(catalogue, name);
  if (near.empty()) return text + " Search the device list for part of the name.";
  text += " Devices whose names contain it: ";
  for (std::size_t i = 0; i < near.size() && i < kMaxSuggestions; ++i) {
    if (i > 0) text += ", ";
    text += Quoted(near[i].node->caption);
  }
  if (near.size() > kMaxSuggestions) text += ", ...";
  return text + ".";
}

}  // namespace

bool SameDevice(const CatalogueNode& a, const CatalogueNode& b) {
  return a.handler == b.handler && a.tag == b.tag;
}

DeviceLookup FindDevice(const Catalogue& catalogue, std::string_view name) {
  DeviceLookup result;
  const std::string folded = FoldName(name);
  if (folded.empty()) {
    result.error = "No device name given.";
    return result;
  }
  const CatalogueNode* disabled = nullptr;  // shown but greyed out
  const CatalogueNode* inert = nullptr;     // shown, but selects nothing
  ForEachItem(catalogue.Root(), [&](const CatalogueNode& item) {
    if (!IsShown(item) || !NameMatches(catalogue, item, folded)) return;
    if (IsSelectable(item)) {
      result.candidates.push_back(&item);
    } else if (!IsUsable(item)) {
      if (disabled == nullptr) disabled = &item;
    } else if (inert == nullptr) {
      inert = &item;
    }
  });

  // No caption as a whole: one of the names a caption lists, then the
  // start of one.
  for (const bool prefix : {false, true}) {
    if (!result.candidates.empty() || inert != nullptr || disabled != nullptr) break;
    result.match = prefix ? DeviceLookup::Match::kPrefix : DeviceLookup::Match::kListedName;
    ForEachItem(catalogue.Root(), [&](const CatalogueNode& item) {
      if (IsSelectable(item) && ListedNameMatches(item, folded, prefix)) {
        result.candidates.push_back(&item);
      }
    });
  }
  if (result.candidates.empty()) result.match = DeviceLookup::Match::kCaption;
  if (AllSameDevice(result.candidates)) {
    result.node = result.candidates.front();
    return result;
  }
  if (!result.candidates.empty()) {
    // Blanks can tell devices apart ("28F320J3" and "28F320 J3" are
    // different parts): a caption matched word for word wins.
    const std::string words = FoldKeepingWords(name);
    std::vector<const CatalogueNode*> exact;
    for (const CatalogueNode* c : result.candidates) {
      if (FoldKeepingWords(c->caption) == words) exact.push_back(c);
    }
    if (AllSameDevice(exact)) {
      result.node = exact.front();
      return result;
    }
    result.error = AmbiguousError(name, result.candidates);
    return result;
  }
  if (inert != nullptr) {
    result.error = Quoted(inert->caption) + " has no programming routine and cannot be chosen.";
    if (const CatalogueNode* twin = SelectableTwin(*inert)) {
      result.error += " " + Quoted(twin->caption) + " has the same device code.";
    }
    return result;
  }
  if (disabled != nullptr) {
    result.error = Quoted(disabled->caption) + " is disabled in the device list.";
    return result;
  }
  result.error = UnknownError(catalogue, name);
  return result;
}

std::vector<DeviceHit> SearchDevices(const Catalogue& catalogue, std::string_view pattern) {
  const std::string folded = FoldName(pattern);
  const bool by_path = folded.find('/') != std::string::npos;
  std::vector<DeviceHit> hits;
  ForEachItem(catalogue.Root(), [&](const CatalogueNode& item) {
    if (!IsSelectable(item)) return;
    bool found;
    if (by_path) {
      std::string path;
      for (std::string_view g : GroupKeys(catalogue, item)) {
        path += g;
        path += '/';
      }
      path += catalogue.Key(item);
      found = path.find(folded) != std::string::npos;
    } else {
      found = catalogue.Key(item).find(folded) != std::string_view::npos;
    }
    if (found) hits.push_back(DeviceHit{&item, GroupPath(item)});
  });
  return hits;
}

}  // namespace app
