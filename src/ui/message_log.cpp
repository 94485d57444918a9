#include "ui/message_log.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/shown_text.h"
#include "ui/status_line.h"

namespace ui {
namespace {

// A guard against a routine that reports in a loop: the oldest messages go
// first. A session of ordinary work stays far below it.
constexpr int kMaxMessages = 10000;

}  // namespace

MessageLog::MessageLog(QWidget* parent) : QWidget(parent) {
  setObjectName("MessageLog");
  list_ = new QListWidget(this);
  list_->setObjectName("lstMessages");
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list_->setUniformItemSizes(true);
  auto* copy_selected = new QAction("Copy", list_);
  copy_selected->setShortcut(QKeySequence::Copy);
  copy_selected->setShortcutContext(Qt::WidgetShortcut);
  connect(copy_selected, &QAction::triggered, this, [this] { Copy(); });
  list_->addAction(copy_selected);
  list_->setContextMenuPolicy(Qt::ActionsContextMenu);

  copy_ = new QPushButton("&Copy", this);
  copy_->setObjectName("btnCopyMessages");
  copy_->setToolTip("Copy the selected messages, or all of them, to the clipboard");
  connect(copy_, &QPushButton::clicked, this, [this] { Copy(); });
  clear_ = new QPushButton("C&lear", this);
  clear_->setObjectName("btnClearMessages");
  connect(clear_, &QPushButton::clicked, list_, &QListWidget::clear);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(copy_);
  buttons->addWidget(clear_);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(4, 4, 4, 4);
  column->addWidget(list_, 1);
  column->addLayout(buttons);
}

void MessageLog::Add(const QString& text, int kind, QTime time) {
  if (list_->count() >= kMaxMessages) delete list_->takeItem(0);
  auto* item = new QListWidgetItem(time.toString(QStringLiteral("HH:mm:ss")) +
                                   QStringLiteral("  ") + OneLine(ShownCaption(text)));
  item->setForeground(MessageColour(kind));
  item->setData(Qt::UserRole, kind);
  list_->addItem(item);
  list_->scrollToBottom();
}

int MessageLog::count() const { return list_->count(); }

QString MessageLog::PlainText(bool selected_only) const {
  const bool only = selected_only && !list_->selectedItems().isEmpty();
  QStringList lines;
  for (int i = 0; i < list_->count(); ++i) {
    const QListWidgetItem* item = list_->item(i);
    if (!only || item->isSelected()) lines << item->text();
  }
  return lines.join('\n');
}

void MessageLog::Copy() {
  const QString text = PlainText(true);
  QApplication::clipboard()->setText(text.isEmpty() ? text : text + '\n');
}

}  // namespace ui
