#include "ui/buffer_models.h"

namespace ui {
namespace {

QVariant Alignment(int column, int last_column) {
  if (column == 0 || column == last_column) return int(Qt::AlignLeft | Qt::AlignVCenter);
  return int(Qt::AlignCenter);
}

}  // namespace

ImageTableModel::ImageTableModel(const uint8_t* image, QObject* parent)
    : QAbstractTableModel(parent), image_(image) {}

void ImageTableModel::SetLayout(const BufferLayout& layout) {
  beginResetModel();
  layout_ = layout;
  endResetModel();
}

void ImageTableModel::Refresh() {
  if (rowCount() == 0) return;
  emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::DisplayRole});
}

int ByteViewModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : layout_.byte_rows;
}

int ByteViewModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kByteColumns;
}

// While an action runs the worker may be writing the image as a row is
// painted; the cell then shows the byte from just before or just after the
// write, and the whole view is repainted when the action ends.
QVariant ByteViewModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::DisplayRole) {
    return ByteCellText(layout_.bytes, image_, static_cast<uint32_t>(index.row()), index.column());
  }
  if (role == Qt::TextAlignmentRole) return Alignment(index.column(), kByteColumns - 1);
  return {};
}

QVariant ByteViewModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
    return ByteHeading(layout_.bytes, section);
  }
  if (orientation == Qt::Horizontal && role == Qt::TextAlignmentRole) {
    return Alignment(section, kByteColumns - 1);
  }
  return QAbstractTableModel::headerData(section, orientation, role);
}

int WordViewModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : layout_.word_rows;
}

int WordViewModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kWordColumns;
}

QVariant WordViewModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::DisplayRole) {
    return WordCellText(layout_, image_, static_cast<uint32_t>(index.row()), index.column());
  }
  if (role == Qt::TextAlignmentRole) return Alignment(index.column(), kWordColumns - 1);
  return {};
}

QVariant WordViewModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole) return WordHeading(section);
  if (orientation == Qt::Horizontal && role == Qt::TextAlignmentRole) {
    return Alignment(section, kWordColumns - 1);
  }
  return QAbstractTableModel::headerData(section, orientation, role);
}

}  // namespace ui
