#pragma once

#include <QAbstractTableModel>

#include "ui/buffer_layout.h"

namespace ui {

// The byte view (HexGrid) and the word view (ProgGrid) of the memory image.
// Cells are made from the image when the view asks for them, so a 16 MB
// image costs nothing until a row scrolls into sight, and every change to
// the image shows at the next repaint.
class ImageTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  ImageTableModel(const uint8_t* image, QObject* parent);

  void SetLayout(const BufferLayout& layout);
  const BufferLayout& layout() const { return layout_; }
  // The image changed under the view: repaint what is shown.
  void Refresh();

 protected:
  const uint8_t* image_;
  BufferLayout layout_;
};

class ByteViewModel final : public ImageTableModel {
  Q_OBJECT

 public:
  using ImageTableModel::ImageTableModel;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
};

class WordViewModel final : public ImageTableModel {
  Q_OBJECT

 public:
  using ImageTableModel::ImageTableModel;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
};

}  // namespace ui
