// The byte editor: every change of the field writes the byte, text that is
// not hexadecimal writes nothing, and showing a byte never writes.
#include "ui/hex_editor.h"

#include <QLineEdit>
#include <QScrollBar>
#include <QtTest>
#include <vector>

#include "image/layout.h"
#include "image/memory_image.h"

class HexEditorTest : public QObject {
  Q_OBJECT

 private:
  std::vector<uint8_t> image_ = std::vector<uint8_t>(image::kImageSize, 0xFF);
  std::vector<uint32_t> writes_;

  void Type(ui::TfrmEditHEX& editor, const QString& text) {
    QLineEdit* field = editor.edHexData();
    field->selectAll();
    QTest::keyClicks(field, text);
  }

 private slots:
  void init() {
    std::fill(image_.begin(), image_.end(), 0xFF);
    writes_.clear();
  }

  void writesOnEveryChange() {
    ui::TfrmEditHEX editor(image_.data());
    connect(&editor, &ui::TfrmEditHEX::ByteWritten, this,
            [this](uint32_t a) { writes_.push_back(a); });
    editor.OpenAt(ui::ByteArea{0, 1, 0x800, false}, 0x123);
    QCOMPARE(editor.edHexAdres()->text(), QString("000123"));
    QCOMPARE(editor.edHexData()->text(), QString("FF"));
    QVERIFY(writes_.empty());  // showing the byte wrote nothing

    editor.edHexData()->clear();
    QTest::keyClick(editor.edHexData(), '1');
    QCOMPARE(image_[0x123], 0x01);
    QTest::keyClick(editor.edHexData(), '2');
    QCOMPARE(image_[0x123], 0x12);
    // Only the low 8 bits of a longer number are stored.
    QTest::keyClick(editor.edHexData(), 'a');
    QCOMPARE(image_[0x123], 0x2A);
    QCOMPARE(writes_.size(), size_t{3});
    QCOMPARE(writes_.back(), 0x123u);
  }

  void textThatIsNotHexWritesNothing() {
    ui::TfrmEditHEX editor(image_.data());
    image_[0x10] = 0x77;
    editor.OpenAt(ui::ByteArea{0, 1, 0x100, false}, 0x10);
    Type(editor, "zz");
    QCOMPARE(image_[0x10], 0x77);
    Type(editor, " ");
    QCOMPARE(image_[0x10], 0x77);
    Type(editor, "0x5");
    QCOMPARE(image_[0x10], 0x05);
  }

  void scrollingMovesTheEditAddressThroughTheArea() {
    ui::TfrmEditHEX editor(image_.data());
    // An AVR's EEPROM: values at the EEPROM offset, one byte apart.
    const ui::ByteArea eeprom{image::kAvrEepromOffset, 1, 512, true};
    image_[image::kAvrEepromOffset + 5] = 0x3C;
    editor.OpenAt(eeprom, 0);
    QCOMPARE(editor.sbAddress()->maximum(), 511);  // the last value, not one past
    editor.sbAddress()->setValue(5);
    QCOMPARE(editor.edit_address(), image::kAvrEepromOffset + 5);
    QCOMPARE(editor.edHexAdres()->text(), QString("000005"));
    QCOMPARE(editor.edHexData()->text(), QString("3C"));
    QCOMPARE(image_[image::kAvrEepromOffset + 5], 0x3C);  // the refresh did not write
    Type(editor, "C3");
    QCOMPARE(image_[image::kAvrEepromOffset + 5], 0xC3);

    // A PIC data EEPROM: one value per word.
    editor.OpenAt(ui::ByteArea{0x4200, 2, 128, true}, 16);
    QCOMPARE(editor.edit_address(), 0x4220u);
  }
};

QTEST_MAIN(HexEditorTest)
#include "hex_editor_test.moc"
