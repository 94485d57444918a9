// The byte and word views: which area each family shows, how many rows,
// and the text of every kind of cell.
#include <QtTest>
#include <vector>

#include "image/layout.h"
#include "image/memory_image.h"
#include "ui/buffer_layout.h"
#include "ui/buffer_models.h"

using ui::BufferLayout;
using ui::ByteCellText;
using ui::LayoutFor;
using ui::LayoutInput;
using ui::WordCellText;

class BufferViewTest : public QObject {
  Q_OBJECT

 private:
  std::vector<uint8_t> image_ = std::vector<uint8_t>(image::kImageSize, 0xFF);

  static LayoutInput Device(int family, uint32_t size) {
    LayoutInput in;
    in.family = family;
    in.device_size = size;
    return in;
  }

 private slots:
  void init() { std::fill(image_.begin(), image_.end(), 0xFF); }

  void rowCountsFollowTheDeviceSize() {
    // 16 bytes a row; small devices still get 28 data rows under the heading.
    QCOMPARE(LayoutFor(Device(0, 2048)).byte_rows, 128);
    QCOMPARE(LayoutFor(Device(0, 448)).byte_rows, 28);
    QCOMPARE(LayoutFor(Device(0, 447)).byte_rows, 28);
    QCOMPARE(LayoutFor(Device(0, 0)).byte_rows, 28);
    QCOMPARE(LayoutFor(Device(0, 0x1000000)).byte_rows, 0x100000);
    // A size that is not a multiple of 16 still shows its last bytes.
    QCOMPARE(LayoutFor(Device(19, 2040)).byte_rows, 128);
    const BufferLayout timekeeper = LayoutFor(Device(19, 2040));
    QCOMPARE(ByteCellText(timekeeper.bytes, image_.data(), 127, 8), QString("FF"));
    QCOMPARE(ByteCellText(timekeeper.bytes, image_.data(), 127, 9), QString());
  }

  void byteCellsShowOffsetValuesAndCharacters() {
    const BufferLayout layout = LayoutFor(Device(4, 0x40000));
    QVERIFY(layout.bytes_visible);
    QVERIFY(!layout.words_visible);
    QCOMPARE(layout.bytes.offset, 0u);
    const char text[] = "A \x80\x7F~!0z";
    std::copy(text, text + 8, image_.begin() + 0x120);
    QCOMPARE(ByteCellText(layout.bytes, image_.data(), 0x12, 0), QString("$000120"));
    QCOMPARE(ByteCellText(layout.bytes, image_.data(), 0x12, 1), QString("41"));
    QCOMPARE(ByteCellText(layout.bytes, image_.data(), 0x12, 3), QString("80"));
    // 0x20, 0x80 and 0x7F have no glyph of their own.
    QCOMPARE(ByteCellText(layout.bytes, image_.data(), 0x12, 17), QString("A...~!0z........"));
    QCOMPARE(ui::AsciiOf(0x41), QChar('A'));
    QCOMPARE(ui::AsciiOf(0x21), QChar('!'));
    QCOMPARE(ui::AsciiOf(0x7E), QChar('~'));
    for (uint8_t v : {0x00, 0x20, 0x7F, 0x80, 0xFF}) QCOMPARE(ui::AsciiOf(v), QChar('.'));
    // Rows past the device stay empty.
    const BufferLayout small = LayoutFor(Device(0, 0x100));
    QCOMPARE(ByteCellText(small.bytes, image_.data(), 16, 0), QString());
    QCOMPARE(ByteCellText(small.bytes, image_.data(), 15, 16), QString("FF"));
  }

  void picFamiliesShowTheirDataEepromBelowTheProgram() {
    LayoutInput in = Device(image::kFamilyPicFlash14, 1024);
    in.pic = true;
    in.pic_eeprom = 128;
    const BufferLayout layout = LayoutFor(in);
    QVERIFY(layout.words_visible);
    QVERIFY(layout.bytes_visible);
    QVERIFY(layout.bytes.data_area);
    QCOMPARE(ui::ByteHeading(layout.bytes, 0), QString(" Data"));
    QCOMPARE(layout.bytes.offset, 0x4200u);
    QCOMPARE(layout.bytes.stride, 2u);
    QCOMPARE(layout.byte_rows, 8);
    QCOMPARE(layout.word_rows, 128);
    // Row 2, column 1 of the grid is value 16: image byte 0x4220.
    image_[0x4220] = 0x5A;
    image_[0x4221] = 0x00;
    QCOMPARE(ByteCellText(layout.bytes, image_.data(), 1, 1), QString("5A"));
    QCOMPARE(ByteCellText(layout.bytes, image_.data(), 1, 0), QString("$000010"));

    // A small EEPROM still gets five rows; none at all hides the grid.
    in.pic_eeprom = 64;
    QCOMPARE(LayoutFor(in).byte_rows, 5);
    in.pic_eeprom = 0;
    QVERIFY(!LayoutFor(in).bytes_visible);

    // PIC18 HEX files put EEPROM byte n at 0xF00000 + n: one byte per
    // image byte, so value 17 is image byte 0xF00011.
    LayoutInput p18 = Device(image::kFamilyPic18, 4096);
    p18.pic18_eeprom = 256;
    const BufferLayout l18 = LayoutFor(p18);
    QCOMPARE(l18.bytes.offset, 0xF00000u);
    QCOMPARE(l18.bytes.stride, 1u);
    image_[0xF00011] = 0xA5;
    QCOMPARE(ByteCellText(l18.bytes, image_.data(), 1, 2), QString("A5"));
  }

  void wordCellsShowLittleEndianWords() {
    LayoutInput pic = Device(image::kFamilyPic12, 512);
    pic.pic = true;
    const BufferLayout layout = LayoutFor(pic);
    QCOMPARE(layout.word_char_stride, 2);
    image_[16] = 0x34;  // word 8
    image_[17] = 0x0C;
    image_[18] = 0x41;  // word 9: low byte 'A'
    image_[19] = 0x08;
    QCOMPARE(WordCellText(layout, image_.data(), 1, 0), QString("$000008"));
    QCOMPARE(WordCellText(layout, image_.data(), 1, 1), QString("0C34"));
    QCOMPARE(WordCellText(layout, image_.data(), 1, 2), QString("0841"));
    // The PIC character column takes the low byte of each of 8 words.
    QCOMPARE(WordCellText(layout, image_.data(), 1, 9), QString("4A......"));
    QCOMPARE(WordCellText(layout, image_.data(), 64, 0), QString());
    QCOMPARE(ui::WordHeading(0), QString("Program"));
    QCOMPARE(ui::WordHeading(9), QString("    Ascii"));

    // The AVR counts its size in bytes and shows all 16 bytes of a row.
    LayoutInput avr = Device(image::kFamilyAvr, 2048);
    avr.avr_eeprom = 128;
    const BufferLayout a = LayoutFor(avr);
    QCOMPARE(a.words, 1024u);
    QCOMPARE(a.word_rows, 128);
    QCOMPARE(a.word_char_stride, 1);
    QCOMPARE(a.bytes.offset, image::kAvrEepromOffset);
    QCOMPARE(a.bytes.stride, 1u);
    QCOMPARE(a.bytes.count, 128u);
    QCOMPARE(WordCellText(a, image_.data(), 1, 9).size(), 16);
  }

  void modelsServeHeadingsAndCells() {
    ui::ByteViewModel bytes(image_.data(), nullptr);
    bytes.SetLayout(LayoutFor(Device(0, 0x800)));
    QCOMPARE(bytes.rowCount(), 128);
    QCOMPARE(bytes.columnCount(), 18);
    QCOMPARE(bytes.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QString("Offset"));
    QCOMPARE(bytes.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QString("0"));
    QCOMPARE(bytes.headerData(16, Qt::Horizontal, Qt::DisplayRole).toString(), QString("F"));
    QCOMPARE(bytes.headerData(17, Qt::Horizontal, Qt::DisplayRole).toString(),
             QString("    Ascii"));
    image_[0x7F0] = 0x41;
    QCOMPARE(bytes.data(bytes.index(127, 1), Qt::DisplayRole).toString(), QString("41"));
    QCOMPARE(bytes.data(bytes.index(127, 0), Qt::DisplayRole).toString(), QString("$0007F0"));

    ui::WordViewModel words(image_.data(), nullptr);
    words.SetLayout(LayoutFor(Device(image::kFamilyPic18, 4096)));
    QCOMPARE(words.columnCount(), 10);
    QCOMPARE(words.rowCount(), 512);
  }
};

QTEST_GUILESS_MAIN(BufferViewTest)
#include "buffer_view_test.moc"
