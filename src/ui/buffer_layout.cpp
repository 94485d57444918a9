#include "ui/buffer_layout.h"

#include "app/programmer.h"
#include "image/layout.h"

namespace ui {
namespace {

constexpr int kMinByteRows = 28;        // small devices still fill the page
constexpr uint32_t kMinRowsFrom = 448;  // sizes from here get one row per 16 bytes
constexpr int kMinDataRows = 5;         // the data-EEPROM grid below the word view
constexpr uint32_t kDataRowsFrom = 80;

bool IsPicFamily(int family) { return image::IsPic14(family) || image::IsPic12(family); }

// Rows needed for n values at `per_row` a row; a partial last row counts,
// so the last bytes of a device whose size is not a multiple of 16 show.
int RowsFor(uint64_t n, uint32_t per_row) { return static_cast<int>((n + per_row - 1) / per_row); }

uint8_t ByteAt(const uint8_t* image, uint64_t i) { return i < image::kImageSize ? image[i] : 0xFF; }

QString Hex(uint32_t value, int digits) {
  return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

}  // namespace

LayoutInput LayoutInputOf(const app::Programmer& p) {
  LayoutInput in;
  in.family = p.dev.family;
  in.device_size = p.image.device_size;
  in.pic = p.dev.pic;
  in.avr_eeprom = p.dev.avr.eeprom_size;
  in.pic_eeprom = p.dev.pic16.eeprom_size;
  in.pic18_eeprom = p.dev.pic18.eeprom_size;
  return in;
}

BufferLayout LayoutFor(const LayoutInput& in) {
  BufferLayout out;
  const uint32_t s = in.device_size;
  const bool avr = in.family == image::kFamilyAvr;
  const bool pic18 = in.family == image::kFamilyPic18;
  const bool pic = IsPicFamily(in.family);

  if (avr || pic || pic18) {
    out.words_visible = true;
    // The AVR's device size counts bytes, the PICs' counts words.
    out.words = avr ? s / 2 : s;
    out.word_rows = std::max(1, RowsFor(out.words, 8));
    out.word_char_stride = pic ? 2 : 1;
    uint32_t eeprom = 0;
    if (avr) {
      out.bytes = {image::kAvrEepromOffset, 1, in.avr_eeprom, true};
      eeprom = in.avr_eeprom;
    } else if (pic18) {
      out.bytes = {image::kPic18EepromOffset, image::kPic18EepromStride, in.pic18_eeprom, true};
      eeprom = in.pic18_eeprom;
    } else {
      out.bytes = {image::kPicEepromByte, 2, in.pic_eeprom, true};
      eeprom = in.pic_eeprom;
    }
    out.bytes_visible = eeprom != 0;
    out.byte_rows = eeprom >= kDataRowsFrom ? RowsFor(eeprom, 16) : kMinDataRows;
    return out;
  }

  out.bytes = {0, in.pic ? 2u : 1u, s, false};
  out.bytes_visible = true;
  out.byte_rows = s >= kMinRowsFrom ? RowsFor(s, 16) : kMinByteRows;
  return out;
}

QString ByteHeading(const ByteArea& area, int column) {
  if (column == 0) return area.data_area ? QStringLiteral(" Data") : QStringLiteral("Offset");
  if (column <= 16) return QString::number(column - 1, 16).toUpper();
  return QStringLiteral("    Ascii");
}

QString WordHeading(int column) {
  if (column == 0) return QStringLiteral("Program");
  if (column <= 8) return QString::number(column - 1);
  return QStringLiteral("    Ascii");
}

QChar AsciiOf(uint8_t value) {
  // 0x7F (DEL) has no glyph and would shift the column; it shows as a dot
  // like every other unprintable value.
  return value >= 0x21 && value < 0x7F ? QChar(value) : QChar('.');
}

QString ByteCellText(const ByteArea& area, const uint8_t* image, uint32_t row, int column) {
  const uint64_t k0 = uint64_t{row} * 16;
  if (k0 >= area.count) return {};
  const auto at = [&](uint64_t k) { return ByteAt(image, area.offset + k * area.stride); };
  if (column == 0) return QLatin1Char('$') + Hex(static_cast<uint32_t>(k0), 6);
  if (column <= 16) {
    const uint64_t k = k0 + column - 1;
    return k < area.count ? Hex(at(k), 2) : QString();
  }
  QString text;
  for (uint64_t k = k0; k < k0 + 16 && k < area.count; ++k) text += AsciiOf(at(k));
  return text;
}

QString WordCellText(const BufferLayout& layout, const uint8_t* image, uint32_t row, int column) {
  const uint64_t w = layout.words;
  const uint64_t first = uint64_t{row} * 8;  // word index of column 1
  if (first >= w) return {};
  const uint64_t b = first * 2;
  if (column == 0) return QLatin1Char('$') + Hex(static_cast<uint32_t>(first), 6);
  if (column <= 8) {
    const uint64_t k = first + column - 1;
    if (k >= w) return {};
    return Hex(ByteAt(image, 2 * k) | (ByteAt(image, 2 * k + 1) << 8), 4);
  }
  QString text;
  if (layout.word_char_stride == 1) {
    for (uint64_t i = b; i < b + 16 && i < 2 * w; ++i) text += AsciiOf(ByteAt(image, i));
  } else {
    for (uint64_t k = first; k < first + 8 && k < w; ++k) text += AsciiOf(ByteAt(image, 2 * k));
  }
  return text;
}

}  // namespace ui
