#pragma once

#include <QString>
#include <cstdint>

namespace app {
class Programmer;
}

namespace ui {

// The run of image values the byte view (HexGrid) shows: value k is the
// image byte at offset + k x stride.
struct ByteArea {
  uint32_t offset = 0;
  uint32_t stride = 1;
  uint32_t count = 0;
  bool data_area = false;  // a data-EEPROM area: heading " Data" instead of "Offset"
};

// What the Buffer page shows for the selected device.
struct BufferLayout {
  ByteArea bytes;
  bool bytes_visible = true;
  int byte_rows = 28;  // data rows of the byte view (the heading row is the header)

  bool words_visible = false;  // the word view (ProgGrid) of AVR and PIC program memory
  uint32_t words = 0;          // program words
  int word_rows = 1;
  // Character column of the word view: 1 = the 16 bytes of the row, 2 =
  // the low byte of each of its 8 words (PIC words hold 12 or 14 bits).
  int word_char_stride = 1;
};

// What the layout depends on.
struct LayoutInput {
  int family = 0;
  uint32_t device_size = 0;  // bytes; program words for the PIC families
  bool pic = false;
  uint32_t avr_eeprom = 0;
  uint32_t pic_eeprom = 0;
  uint32_t pic18_eeprom = 0;
  bool operator==(const LayoutInput&) const = default;
};

LayoutInput LayoutInputOf(const app::Programmer& p);
BufferLayout LayoutFor(const LayoutInput& in);

// Column headings.
inline constexpr int kByteColumns = 18;
inline constexpr int kWordColumns = 10;
QString ByteHeading(const ByteArea& area, int column);
QString WordHeading(int column);

// Cell texts; `row` counts data rows from 0 (the grid's row 1). `image`
// is the whole 16 MB image.
QString ByteCellText(const ByteArea& area, const uint8_t* image, uint32_t row, int column);
QString WordCellText(const BufferLayout& layout, const uint8_t* image, uint32_t row, int column);

// The character a value shows as in the Ascii columns.
QChar AsciiOf(uint8_t value);

}  // namespace ui
