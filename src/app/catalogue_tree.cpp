// Lays out the catalogue's entry stream as a tree, and the questions every
// front door asks of a node (is it shown, can it be chosen, where is it).
#include <cassert>

#include "app/catalogue.h"

namespace app {
namespace {

// The tree as first read: linked lists of children, so that reading the
// stream allocates nothing per node.
struct Draft {
  const CatalogueEntry* entry = nullptr;  // nullptr for the root
  int parent = -1;
  int first_child = -1;
  int last_child = -1;
  int next_sibling = -1;
  int child_count = 0;
};

CatalogueKind KindOf(CatalogueEntry::Op op) {
  switch (op) {
    case CatalogueEntry::Op::kGroup:
      return CatalogueKind::kGroup;
    case CatalogueEntry::Op::kSeparator:
      return CatalogueKind::kSeparator;
    case CatalogueEntry::Op::kLabel:
      return CatalogueKind::kLabel;
    default:
      return CatalogueKind::kItem;
  }
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace

Catalogue::Catalogue(std::span<const CatalogueEntry> entries) {
  std::vector<Draft> drafts(1);
  drafts.reserve(entries.size() + 1);
  std::vector<int> open{0};
  for (const CatalogueEntry& e : entries) {
    if (e.op == CatalogueEntry::Op::kEnd) {
      assert(open.size() > 1 && "End() without a Group()");
      if (open.size() > 1) open.pop_back();
      continue;
    }
    const int index = static_cast<int>(drafts.size());
    const int parent = open.back();
    drafts.push_back(Draft{&e, parent});
    Draft& p = drafts[parent];
    if (p.last_child < 0) {
      p.first_child = index;
    } else {
      drafts[p.last_child].next_sibling = index;
    }
    p.last_child = index;
    ++p.child_count;
    if (e.op == CatalogueEntry::Op::kGroup) open.push_back(index);
  }
  assert(open.size() == 1 && "Group() without an End()");

  // Breadth-first placement keeps each node's children next to each other,
  // so that they can be handed out as one span.
  std::vector<int> place(drafts.size(), 0);
  std::vector<int> order;
  order.reserve(drafts.size());
  order.push_back(0);
  for (std::size_t i = 0; i < order.size(); ++i) {
    for (int c = drafts[order[i]].first_child; c >= 0; c = drafts[c].next_sibling) {
      place[c] = static_cast<int>(order.size());
      order.push_back(c);
    }
  }

  nodes_.resize(drafts.size());
  keys_.resize(drafts.size());
  nodes_[0].kind = CatalogueKind::kGroup;
  for (std::size_t d = 0; d < drafts.size(); ++d) {
    const Draft& draft = drafts[d];
    CatalogueNode& node = nodes_[place[d]];
    if (draft.entry != nullptr) {
      const CatalogueEntry& e = *draft.entry;
      node.kind = KindOf(e.op);
      node.caption = e.caption;
      node.tag = e.tag;
      node.handler = e.handler;
      node.visible = (e.flags & entry::kHidden) == 0;
      node.enabled = (e.flags & entry::kDisabled) == 0;
      node.parent = &nodes_[place[draft.parent]];
    }
    if (draft.first_child >= 0) {
      node.children = std::span<const CatalogueNode>(&nodes_[place[draft.first_child]],
                                                     static_cast<std::size_t>(draft.child_count));
    }
    keys_[place[d]] = FoldName(node.caption);
  }
}

std::vector<CatalogueEntry> DeviceCatalogueEntries() {
  using namespace catalogue_parts;
  const std::span<const CatalogueEntry> parts[] = {
      EpromEntries(),  Flash28Entries(),    Flash29Entries(),    FlashWideEntries(),
      HubSpiEntries(), McuEntries(),        RamProtectEntries(), PicEntries(),
      SerialEntries(), LowVoltageEntries(),
  };
  std::vector<CatalogueEntry> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

const Catalogue& DeviceCatalogue() {
  // The captions are views of static data, so the gathered stream may go.
  static const Catalogue catalogue(DeviceCatalogueEntries());
  return catalogue;
}

bool IsShown(const CatalogueNode& node) {
  for (const CatalogueNode* n = &node; n != nullptr; n = n->parent) {
    if (!n->visible) return false;
  }
  return true;
}

bool IsUsable(const CatalogueNode& node) {
  for (const CatalogueNode* n = &node; n != nullptr; n = n->parent) {
    if (!n->visible || !n->enabled) return false;
  }
  return true;
}

bool IsSelectable(const CatalogueNode& node) {
  return node.IsItem() && node.handler != HandlerId::kNone && IsUsable(node);
}

std::string GroupPath(const CatalogueNode& node) {
  std::vector<std::string_view> groups;
  for (const CatalogueNode* n = node.parent; n != nullptr && n->parent != nullptr; n = n->parent) {
    groups.push_back(Trim(n->caption));
  }
  std::string path;
  for (auto it = groups.rbegin(); it != groups.rend(); ++it) {
    if (!path.empty()) path += " / ";
    path += *it;
  }
  return path;
}

std::string FullPath(const CatalogueNode& node) {
  std::string path = GroupPath(node);
  if (!path.empty()) path += " / ";
  path += Trim(node.caption);
  return path;
}

std::string FoldName(std::string_view name) {
  std::string folded;
  folded.reserve(name.size());
  for (char c : name) {
    if (IsBlank(c)) continue;
    folded += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  return folded;
}

}  // namespace app
