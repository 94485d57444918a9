#pragma once

// The device catalogue: every group, separator, label and device item of the
// device menu, as one table that the GUI menu, the CLI device list and the
// tests all read. The data is written as a flat stream of entries (one file
// per part of the menu) and laid out once, on first use, as a tree.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/handler_id.h"

namespace app {

enum class CatalogueKind : uint8_t { kGroup, kItem, kSeparator, kLabel };

// One node of the menu tree. Captions are the menu's own, blanks included.
struct CatalogueNode {
  CatalogueKind kind = CatalogueKind::kItem;
  std::string_view caption;
  int tag = 0;                              // device code; 0 names no device
  HandlerId handler = HandlerId::kNone;     // kNone for groups, labels and inert items
  bool visible = true;                      // this node's own setting
  bool enabled = true;                      // this node's own setting
  const CatalogueNode* parent = nullptr;    // nullptr only for the root
  std::span<const CatalogueNode> children;  // in menu order

  bool IsGroup() const { return kind == CatalogueKind::kGroup; }
  bool IsItem() const { return kind == CatalogueKind::kItem; }
};

// --- authoring: the entry stream the data files are written in -----------------

struct CatalogueEntry {
  enum class Op : uint8_t { kGroup, kEnd, kItem, kSeparator, kLabel };
  Op op = Op::kItem;
  std::string_view caption;
  int tag = 0;
  HandlerId handler = HandlerId::kNone;
  unsigned flags = 0;
};

namespace entry {

inline constexpr unsigned kHidden = 1;
inline constexpr unsigned kDisabled = 2;

// Opens a submenu; everything up to the matching End() is inside it.
constexpr CatalogueEntry Group(std::string_view caption, unsigned flags = 0) {
  return {CatalogueEntry::Op::kGroup, caption, 0, HandlerId::kNone, flags};
}
constexpr CatalogueEntry End() { return {CatalogueEntry::Op::kEnd, {}, 0, HandlerId::kNone, 0}; }
constexpr CatalogueEntry Item(std::string_view caption, int tag, HandlerId handler,
                              unsigned flags = 0) {
  return {CatalogueEntry::Op::kItem, caption, tag, handler, flags};
}
// An item that shows in the menu but selects nothing.
constexpr CatalogueEntry Inert(std::string_view caption, int tag = 0, unsigned flags = 0) {
  return {CatalogueEntry::Op::kItem, caption, tag, HandlerId::kNone, flags};
}
constexpr CatalogueEntry Separator() {
  return {CatalogueEntry::Op::kSeparator, {}, 0, HandlerId::kNone, 0};
}
// A heading line inside a menu ("---  FWH  ---").
constexpr CatalogueEntry Label(std::string_view caption) {
  return {CatalogueEntry::Op::kLabel, caption, 0, HandlerId::kNone, 0};
}

}  // namespace entry

// --- the laid-out tree ------------------------------------------------------------

class Catalogue {
 public:
  // Lays out an entry stream. Every Group() needs its End(); a stray End()
  // at the top level, or a missing one at the end, is a fault in the data
  // (asserted; in a release build the stream is read as if balanced).
  explicit Catalogue(std::span<const CatalogueEntry> entries);

  // Nodes point at each other inside this object: it moves but never copies.
  Catalogue(const Catalogue&) = delete;
  Catalogue& operator=(const Catalogue&) = delete;
  Catalogue(Catalogue&&) = default;
  Catalogue& operator=(Catalogue&&) = default;

  // The unnamed root; its children are the top-level entries.
  const CatalogueNode& Root() const { return nodes_.front(); }
  // Every node once, the root first; a node's children are contiguous.
  std::span<const CatalogueNode> Nodes() const { return nodes_; }
  std::size_t IndexOf(const CatalogueNode& node) const {
    return static_cast<std::size_t>(&node - nodes_.data());
  }
  // The node's caption folded for name matching (see FoldName).
  std::string_view Key(const CatalogueNode& node) const { return keys_[IndexOf(node)]; }

 private:
  std::vector<CatalogueNode> nodes_;
  std::vector<std::string> keys_;  // index-aligned with nodes_
};

// The device catalogue, laid out on first use.
const Catalogue& DeviceCatalogue();
inline const CatalogueNode& CatalogueRoot() { return DeviceCatalogue().Root(); }

// The whole entry stream of the device catalogue, in menu order.
std::vector<CatalogueEntry> DeviceCatalogueEntries();

// Shown: the node and every enclosing group are visible.
bool IsShown(const CatalogueNode& node);
// Usable: shown, and the node and every enclosing group are enabled.
bool IsUsable(const CatalogueNode& node);
// Selectable: a usable item with a handler. Only these select a device.
bool IsSelectable(const CatalogueNode& node);

// The captions of the enclosing groups, top-level first, joined by " / ".
// Each caption is trimmed of outer blanks for display.
std::string GroupPath(const CatalogueNode& node);
// GroupPath plus the node's own caption.
std::string FullPath(const CatalogueNode& node);

// A name folded for matching: ASCII letters lowered, blanks removed.
std::string FoldName(std::string_view name);

// Visits `node` and everything below it, in menu order (pre-order).
template <typename Fn>
void ForEachNode(const CatalogueNode& node, Fn&& fn) {
  fn(node);
  for (const CatalogueNode& child : node.children) ForEachNode(child, fn);
}

// Visits every item below `node`, in menu order.
template <typename Fn>
void ForEachItem(const CatalogueNode& node, Fn&& fn) {
  ForEachNode(node, [&](const CatalogueNode& n) {
    if (n.IsItem()) fn(n);
  });
}

namespace catalogue_parts {
// The data files, one per part of the menu, in menu order.
std::span<const CatalogueEntry> EpromEntries();
std::span<const CatalogueEntry> Flash28Entries();
std::span<const CatalogueEntry> Flash29Entries();
std::span<const CatalogueEntry> FlashWideEntries();
std::span<const CatalogueEntry> HubSpiEntries();
std::span<const CatalogueEntry> McuEntries();
std::span<const CatalogueEntry> RamProtectEntries();
std::span<const CatalogueEntry> PicEntries();
std::span<const CatalogueEntry> SerialEntries();
std::span<const CatalogueEntry> LowVoltageEntries();
}  // namespace catalogue_parts

}  // namespace app
