#pragma once

#include <QWidget>

#include "ui/buffer_layout.h"

class QAbstractItemModel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace ui {

class ByteViewModel;
class WordViewModel;

// The "Buffer" page: the word view (ProgGrid) of AVR and PIC program
// memory above the byte view (HexGrid), and the Move A to B panel.
class BufferPage : public QWidget {
  Q_OBJECT

 public:
  BufferPage(const uint8_t* image, QWidget* parent = nullptr);

  void SetLayout(const BufferLayout& layout);
  const BufferLayout& buffer_layout() const;
  // The image changed: repaint both views.
  void Refresh();
  // Marks value k of the byte view's area as the current cell.
  void MarkByte(uint32_t k);

  QTableView* HexGrid() const { return hex_grid_; }
  QTableView* ProgGrid() const { return prog_grid_; }
  ByteViewModel* byte_model() const { return byte_model_; }
  WordViewModel* word_model() const { return word_model_; }

  // Move A to B (pMoveAB).
  QWidget* move_panel() const { return move_panel_; }
  QLineEdit* edAdrs_A() const { return ed_a_; }
  QLineEdit* edAdrs_B() const { return ed_b_; }
  QLineEdit* edSizeMove() const { return ed_size_; }
  void ShowMovePanel();
  uint32_t move_a() const { return move_[0]; }
  uint32_t move_b() const { return move_[1]; }
  uint32_t move_size() const { return move_[2]; }

 signals:
  // HexGridClick with the grid's column and row (row 1 is the first data row).
  void HexGridClicked(int column, int row);
  void MoveRequested(uint32_t a, uint32_t b, uint32_t size);

 private:
  QTableView* MakeView(QAbstractItemModel* model, int columns);
  void SizeColumns(QTableView* view, int columns);
  void edAdrs_AChange(int field);
  void edAdrs_A_exit(int field);

  ByteViewModel* byte_model_;
  WordViewModel* word_model_;
  QTableView* hex_grid_;
  QTableView* prog_grid_;
  QWidget* move_panel_;
  QLineEdit* ed_a_;
  QLineEdit* ed_b_;
  QLineEdit* ed_size_;
  uint32_t move_[3] = {0, 0, 0};
};

}  // namespace ui
