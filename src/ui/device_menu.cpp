#include "ui/device_menu.h"

#include <vector>

namespace ui {
namespace {

constexpr char kNodeProperty[] = "catalogueNode";
constexpr char kFilledProperty[] = "catalogueFilled";

// Menus and actions carry their node as its index in the catalogue.
QVariant NodeValue(const app::CatalogueNode& node) {
  return QVariant::fromValue(static_cast<qulonglong>(app::DeviceCatalogue().IndexOf(node)));
}

const app::CatalogueNode* NodeOf(const QObject* object) {
  const QVariant v = object->property(kNodeProperty);
  if (!v.isValid()) return nullptr;
  const auto nodes = app::DeviceCatalogue().Nodes();
  const qulonglong i = v.toULongLong();
  return i < nodes.size() ? &nodes[i] : nullptr;
}

}  // namespace

QString MenuText(std::string_view caption) {
  QString text = QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size()));
  text.replace('&', QStringLiteral("&&"));
  return text;
}

DeviceMenu::DeviceMenu(const QString& title, QWidget* parent) : QMenu(title, parent) {
  setObjectName("mnuDevice");
  setProperty(kNodeProperty, NodeValue(app::CatalogueRoot()));
  connect(this, &QMenu::aboutToShow, this, [this] { FillOnce(this); });
}

void DeviceMenu::FillOnce(QMenu* menu) {
  if (menu->property(kFilledProperty).toBool()) return;
  menu->setProperty(kFilledProperty, true);
  if (const app::CatalogueNode* group = NodeOf(menu)) Fill(menu, *group);
}

void DeviceMenu::Fill(QMenu* menu, const app::CatalogueNode& group) {
  for (const app::CatalogueNode& node : group.children) {
    if (!node.visible) continue;
    switch (node.kind) {
      case app::CatalogueKind::kSeparator:
        menu->addSeparator();
        break;
      case app::CatalogueKind::kLabel: {
        QAction* label = menu->addAction(MenuText(node.caption));
        label->setEnabled(false);
        break;
      }
      case app::CatalogueKind::kGroup: {
        QMenu* sub = menu->addMenu(MenuText(node.caption));
        sub->setProperty(kNodeProperty, NodeValue(node));
        sub->setEnabled(node.enabled);
        connect(sub, &QMenu::aboutToShow, this, [this, sub] { FillOnce(sub); });
        break;
      }
      case app::CatalogueKind::kItem: {
        QAction* item = menu->addAction(MenuText(node.caption));
        item->setProperty(kNodeProperty, NodeValue(node));
        item->setEnabled(node.enabled && node.handler != app::HandlerId::kNone);
        connect(item, &QAction::triggered, this, [this, &node] { emit DeviceChosen(&node); });
        break;
      }
    }
  }
}

QAction* DeviceMenu::ActionFor(const app::CatalogueNode& node) {
  // The groups from the top down to the node.
  std::vector<const app::CatalogueNode*> path;
  for (const app::CatalogueNode* n = node.parent; n != nullptr && n->parent != nullptr;
       n = n->parent) {
    path.insert(path.begin(), n);
  }
  QMenu* menu = this;
  FillOnce(menu);
  for (const app::CatalogueNode* group : path) {
    QMenu* next = nullptr;
    for (QAction* a : menu->actions()) {
      if (a->menu() != nullptr && NodeOf(a->menu()) == group) next = a->menu();
    }
    if (next == nullptr) return nullptr;
    FillOnce(next);
    menu = next;
  }
  for (QAction* a : menu->actions()) {
    if (NodeOf(a) == &node) return a;
  }
  return nullptr;
}

}  // namespace ui
