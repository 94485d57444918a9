// The PIC18 settings panel in the window: the selection captions and
// enables the configuration boxes, a click changes the image's byte and
// its field, a read brings the chip's bytes into the boxes, the ID field
// writes the ID bytes, and Get ID shows the device-ID window.
#include <QCheckBox>
#include <QLineEdit>
#include <QtTest>

#include "sim/board.h"
#include "sim/pic18_chip.h"
#include "window_fixture.h"

using daraz_test::WindowFixture;

class Pic18PanelTest : public QObject {
  Q_OBJECT

 private:
  static QCheckBox* Box(ui::TfrmEprom& w, const char* name) {
    return w.findChild<QCheckBox*>(name);
  }
  static QLineEdit* Field(ui::TfrmEprom& w, const char* name) {
    return w.findChild<QLineEdit*>(name);
  }

 private slots:
  void theSelectionCaptionsAndEnablesTheBoxes() {
    WindowFixture f;
    ui::TfrmEprom& w = f.window();
    auto* panel = w.findChild<QWidget*>("pPIC18FxxxSetting");
    QVERIFY(panel != nullptr);
    f.Select("PIC18F452");
    w.RenderControls();
    QVERIFY(!panel->isHidden());
    QCOMPARE(Box(w, "cbPIC18_0100")->text(), QString("#PWRTEN"));
    QVERIFY(Box(w, "cbPIC18_0100")->isEnabled());
    QCOMPARE(Box(w, "cbPIC18_0013")->text(), QString("#OSCEN"));
    QVERIFY(!Box(w, "cbPIC18_0104")->isEnabled());
    QVERIFY(!Field(w, "edPIC18_CFG0")->isEnabled());
    f.Select("18F4620");
    w.RenderControls();
    QCOMPARE(Box(w, "cbPIC18_0015")->text(), QString("IESO"));
    QCOMPARE(Box(w, "cbPIC18_0014")->text(), QString("FCMEN"));
    QVERIFY(Box(w, "cbPIC18_0015")->isEnabled());
    QVERIFY(!Box(w, "cbPIC18_0013")->isEnabled());
    f.Select("27C256");
    w.RenderControls();
    QVERIFY(panel->isHidden());
  }

  void aClickWritesTheImagesByteAndAReadShowsTheChips() {
    WindowFixture f;
    ui::TfrmEprom& w = f.window();
    f.Select("PIC18F452");
    w.RenderControls();
    app::Programmer& p = w.programmer();
    const uint8_t before = p.image[0x300003];
    // WDTEN is bit 0 of CONFIG2H, the image's byte 0x300003.
    QCheckBox* wdt = Box(w, "cbPIC18_0108");
    const bool was = wdt->isChecked();
    wdt->click();
    QCOMPARE(int{p.image[0x300003]}, before ^ 0x01);
    QCOMPARE(wdt->isChecked(), !was);
    char text[8];
    std::snprintf(text, sizeof text, " 0x%02X", before ^ 0x01);
    QCOMPARE(Field(w, "edPIC18_CFG3")->text(), QString(text));

    // A blank chip's CONFIG2H after a read: the part's four bits set.
    auto* chip = dynamic_cast<sim::Pic18Chip*>(p.board()->chip());
    QVERIFY(chip != nullptr);
    QVERIFY(w.StartAction(app::Action::kRead));
    QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 60000);
    QCOMPARE(int{p.image[0x300003]}, int{chip->Config(3)});
    QCOMPARE(Box(w, "cbPIC18_0108")->isChecked(), (chip->Config(3) & 1) != 0);
    QCOMPARE(p.board()->RestState(), std::string(sim::kAtRest));
  }

  void theIdFieldWritesTheIdBytes() {
    WindowFixture f;
    ui::TfrmEprom& w = f.window();
    f.Select("18F1220");
    w.RenderControls();
    QLineEdit* id = Field(w, "edPIC18F_ID");
    QVERIFY(id != nullptr && !id->isReadOnly());
    id->clear();
    QTest::keyClicks(id, "1234");
    app::Programmer& p = w.programmer();
    QCOMPARE(int{p.image[0x200006]}, 0x12);
    QCOMPARE(int{p.image[0x200007]}, 0x34);
    QCOMPARE(int{p.image[0x200000]}, 0x00);
    emit id->editingFinished();
    QCOMPARE(id->text(), QString("0000000000001234"));
  }

  void getIdShowsTheDeviceIdWindow() {
    WindowFixture f;
    ui::TfrmEprom& w = f.window();
    f.Select("PIC18F452");
    QVERIFY(w.StartAction(app::Action::kGetId));
    QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 30000);
    QCOMPARE(f.information.size(), 1);
    QCOMPARE(f.information.front(),
             QString("Microchip PIC device ID Value (0x3FFFFE,0x3FFFFF)\n00000100001 00111\n"
                     "Revision 7\n 0x0427\n PIC 18F452/4539"));
  }
};

QTEST_MAIN(Pic18PanelTest)
#include "pic18_panel_test.moc"
