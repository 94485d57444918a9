#include "ui/buffer_page.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "image/hex_field.h"
#include "ui/buffer_models.h"

namespace ui {
namespace {

QFont GridFont() {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setStyleHint(QFont::TypeWriter);
  return font;
}

}  // namespace

BufferPage::BufferPage(const uint8_t* image, QWidget* parent)
    : QWidget(parent),
      byte_model_(new ByteViewModel(image, this)),
      word_model_(new WordViewModel(image, this)) {
  setObjectName("tsBuffer");
  prog_grid_ = MakeView(word_model_, kWordColumns);
  prog_grid_->setObjectName("ProgGrid");
  hex_grid_ = MakeView(byte_model_, kByteColumns);
  hex_grid_->setObjectName("HexGrid");
  connect(hex_grid_, &QTableView::clicked, this, [this](const QModelIndex& index) {
    emit HexGridClicked(index.column(), index.row() + 1);
  });

  // Move A to B.
  move_panel_ = new QGroupBox("Move Data ( A to B address )", this);
  move_panel_->setObjectName("pMoveAB");
  auto* grid = new QGridLayout(move_panel_);
  QLineEdit** fields[3] = {&ed_a_, &ed_b_, &ed_size_};
  const char* names[3] = {"edAdrs_A", "edAdrs_B", "edSizeMove"};
  const char* labels[3] = {"A address", "B address", "Size"};
  for (int i = 0; i < 3; ++i) {
    auto* field = new QLineEdit("0x0", move_panel_);
    field->setObjectName(names[i]);
    field->setFont(GridFont());
    *fields[i] = field;
    grid->addWidget(new QLabel(labels[i], move_panel_), 0, i);
    grid->addWidget(field, 1, i);
    connect(field, &QLineEdit::textEdited, this, [this, i] { edAdrs_AChange(i); });
    connect(field, &QLineEdit::editingFinished, this, [this, i] { edAdrs_A_exit(i); });
  }
  auto* move = new QPushButton("Move A to B", move_panel_);
  move->setObjectName("btnMoveAB");
  auto* cancel = new QPushButton("Cancel", move_panel_);
  cancel->setObjectName("Button15");
  grid->addWidget(move, 1, 3);
  grid->addWidget(cancel, 1, 4);
  connect(move, &QPushButton::clicked, this, [this] {
    move_panel_->hide();
    emit MoveRequested(move_[0], move_[1], move_[2]);
  });
  connect(cancel, &QPushButton::clicked, move_panel_, &QWidget::hide);
  move_panel_->hide();

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->setSpacing(4);
  layout->addWidget(move_panel_);
  layout->addWidget(prog_grid_, 3);
  layout->addWidget(hex_grid_, 2);
  SetLayout(BufferLayout{});
}

QTableView* BufferPage::MakeView(QAbstractItemModel* model, int columns) {
  auto* view = new QTableView(this);
  view->setModel(model);
  view->setFont(GridFont());
  view->setSelectionMode(QAbstractItemView::SingleSelection);
  view->setSelectionBehavior(QAbstractItemView::SelectItems);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setWordWrap(false);
  view->setCornerButtonEnabled(false);
  view->setAlternatingRowColors(true);
  view->verticalHeader()->hide();
  // Fixed, uniform rows: the view never measures a million rows.
  view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 4);
  view->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  view->horizontalHeader()->setHighlightSections(false);
  view->horizontalHeader()->setFont(GridFont());
  view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  SizeColumns(view, columns);
  return view;
}

void BufferPage::SizeColumns(QTableView* view, int columns) {
  const QFontMetrics fm(GridFont());
  const int pad = 8;
  const int ascii = columns - 1;
  view->setColumnWidth(0, fm.horizontalAdvance("$000000") + pad + 2);
  const int cell = fm.horizontalAdvance(columns == kByteColumns ? "00" : "0000") + pad;
  for (int c = 1; c < ascii; ++c) view->setColumnWidth(c, cell);
  view->setColumnWidth(ascii, fm.horizontalAdvance(QString(16, 'W')) + pad);
  view->horizontalHeader()->setStretchLastSection(true);
}

void BufferPage::SetLayout(const BufferLayout& layout) {
  byte_model_->SetLayout(layout);
  word_model_->SetLayout(layout);
  prog_grid_->setVisible(layout.words_visible);
  hex_grid_->setVisible(layout.bytes_visible);
  auto* box = static_cast<QVBoxLayout*>(QWidget::layout());
  if (layout.words_visible && layout.bytes_visible) {
    // The data-EEPROM grid sits below the program, about six rows high.
    const int rows = std::min(layout.byte_rows, 6);
    hex_grid_->setMaximumHeight(hex_grid_->horizontalHeader()->sizeHint().height() +
                                rows * hex_grid_->verticalHeader()->defaultSectionSize() + 6);
    box->setStretchFactor(hex_grid_, 0);
  } else {
    hex_grid_->setMaximumHeight(QWIDGETSIZE_MAX);
    box->setStretchFactor(hex_grid_, 2);
  }
  hex_grid_->clearSelection();
  prog_grid_->clearSelection();
  hex_grid_->scrollToTop();
  prog_grid_->scrollToTop();
}

const BufferLayout& BufferPage::buffer_layout() const { return byte_model_->layout(); }

void BufferPage::Refresh() {
  hex_grid_->viewport()->update();
  prog_grid_->viewport()->update();
}

void BufferPage::MarkByte(uint32_t k) {
  const QModelIndex index = byte_model_->index(static_cast<int>(k / 16), 1 + k % 16);
  if (!index.isValid()) return;
  hex_grid_->setCurrentIndex(index);
  hex_grid_->scrollTo(index);
}

void BufferPage::ShowMovePanel() {
  for (int i = 0; i < 3; ++i) edAdrs_A_exit(i);
  move_panel_->show();
}

void BufferPage::edAdrs_AChange(int field) {
  QLineEdit* fields[3] = {ed_a_, ed_b_, ed_size_};
  image::ParseHexField(fields[field]->text().toStdString(), move_[field]);
}

void BufferPage::edAdrs_A_exit(int field) {
  QLineEdit* fields[3] = {ed_a_, ed_b_, ed_size_};
  fields[field]->setText(QStringLiteral("0x") + QString::number(move_[field], 16).toUpper());
}

}  // namespace ui
