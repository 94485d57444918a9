#include "ui/device_finder.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QKeyEvent>
#include <QStandardItemModel>

#include "app/device_lookup.h"

namespace ui {
namespace {

// More than a screenful is no help; the user types on instead.
constexpr size_t kMaxHits = 300;

}  // namespace

DeviceFinder::DeviceFinder(QWidget* parent)
    : QLineEdit(parent), completer_(new QCompleter(this)), model_(new QStandardItemModel(this)) {
  setObjectName("edFind");
  setPlaceholderText(QString::fromUtf8("Find device\u2026"));
  setClearButtonEnabled(true);
  completer_->setModel(model_);
  completer_->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
  completer_->setMaxVisibleItems(16);
  // Attached without setCompleter(): choosing an entry must not copy its
  // text into the field.
  completer_->setWidget(this);
  connect(this, &QLineEdit::textEdited, this, &DeviceFinder::Search);
  connect(completer_, qOverload<const QModelIndex&>(&QCompleter::activated), this,
          [this](const QModelIndex& index) { Choose(index.row()); });
}

void DeviceFinder::Search(const QString& text) {
  model_->clear();
  hits_.clear();
  const QString pattern = text.trimmed();
  if (pattern.isEmpty()) {
    completer_->popup()->hide();
    return;
  }
  for (const app::DeviceHit& hit : app::SearchDevices(pattern.toStdString())) {
    if (hits_.size() == kMaxHits) break;
    hits_.push_back(hit.node);
    auto* item =
        new QStandardItem(QString::fromUtf8(hit.node->caption.data(),
                                            static_cast<qsizetype>(hit.node->caption.size())) +
                          QStringLiteral("    \u2014  ") + QString::fromStdString(hit.group_path));
    item->setEditable(false);
    model_->appendRow(item);
  }
  if (hits_.empty()) {
    completer_->popup()->hide();
    return;
  }
  completer_->complete(QRect(0, 0, std::max(width(), 320), height()));
}

void DeviceFinder::Choose(int row) {
  if (row < 0 || static_cast<size_t>(row) >= hits_.size()) return;
  const app::CatalogueNode* node = hits_[row];
  completer_->popup()->hide();
  clear();
  model_->clear();
  hits_.clear();
  emit DeviceChosen(node);
}

void DeviceFinder::keyPressEvent(QKeyEvent* event) {
  // Return without picking from the list takes the first match.
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !hits_.empty()) {
    Choose(0);
    return;
  }
  if (event->key() == Qt::Key_Escape) {
    completer_->popup()->hide();
    clear();
    hits_.clear();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

}  // namespace ui
