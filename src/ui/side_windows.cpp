#include "ui/side_windows.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/host.h"
#include "ui/icons.h"

namespace ui {

TMenuAbout::TMenuAbout(QWidget* parent) : QDialog(parent) {
  setObjectName("MenuAbout");
  setWindowTitle("About");
  auto* icon = new QLabel(this);
  icon->setPixmap(GlyphIcon(Glyph::kApp).pixmap(48, 48));
  auto* text = new QLabel(this);
  text->setTextFormat(Qt::RichText);
  text->setText(QStringLiteral("<b>Tavrin Daraz Programmer</b><br>%1<br><br>"
                               "Reads, blank-checks, programs, verifies, erases and identifies<br>"
                               "EPROMs, EEPROMs, flash, serial memories and microcontrollers<br>"
                               "on the parallel-port programmer board.<br><br>"
                               "Board revisions: RevK, RevKA, RevKB, RevM, RevMA,<br>"
                               "RevPx, RevP, RevSx, RevS, RevSa.")
                    .arg(QString::fromLatin1(app::kCaptionPrefix).chopped(2).trimmed()));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* row = new QHBoxLayout;
  row->addWidget(icon, 0, Qt::AlignTop);
  row->addWidget(text, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addWidget(buttons);
}

TfrmCFI::TfrmCFI(QWidget* parent) : QDialog(parent) {
  setObjectName("frmCFI");
  setWindowTitle("CFI Query");
  title_ = new QLabel(this);
  title_->setObjectName("ptCFI");
  grid_ = new QTableWidget(0, 4, this);
  grid_->setObjectName("sgCFI");
  grid_->setHorizontalHeaderLabels({"Description", "Address", "Code", "Value"});
  grid_->verticalHeader()->hide();
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  grid_->horizontalHeader()->setStretchLastSection(true);
  // The report is read-only; what is selected copies as tab-separated rows.
  auto* copy = new QShortcut(QKeySequence::Copy, grid_);
  copy->setContext(Qt::WidgetShortcut);
  connect(copy, &QShortcut::activated, this,
          [this] { QApplication::clipboard()->setText(SelectedText()); });
  auto* close = new QPushButton("Close", this);
  close->setObjectName("btnCFI_OK");
  connect(close, &QPushButton::clicked, this, &QDialog::hide);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(title_);
  layout->addWidget(grid_, 1);
  layout->addWidget(close, 0, Qt::AlignRight);
  resize(520, 480);
}

void TfrmCFI::SetTitle(const QString& title) { title_->setText(title); }

void TfrmCFI::SetRows(const std::vector<std::array<QString, 4>>& rows) {
  grid_->setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    for (int c = 0; c < 4; ++c) grid_->setItem(r, c, new QTableWidgetItem(rows[r][c]));
  }
  grid_->resizeColumnsToContents();
}

void TfrmCFI::SetHeader(const std::array<QString, 4>& header) {
  grid_->setHorizontalHeaderLabels({header[0], header[1], header[2], header[3]});
}

QString TfrmCFI::SelectedText() const {
  QStringList lines;
  for (int r = 0; r < grid_->rowCount(); ++r) {
    bool selected = false;
    QStringList cells;
    for (int c = 0; c < grid_->columnCount(); ++c) {
      const QTableWidgetItem* item = grid_->item(r, c);
      if (item == nullptr) {
        cells << QString();
        continue;
      }
      selected = selected || item->isSelected();
      cells << item->text().trimmed();
    }
    if (selected) lines << cells.join('\t');
  }
  return lines.join('\n');
}

TfrmOSCCAL::TfrmOSCCAL(QWidget* parent) : QDialog(parent) {
  setObjectName("frmOSCCAL");
  setWindowTitle("Edit and FineTune OSCCAL");
  body_ = new QVBoxLayout(this);
}

}  // namespace ui
