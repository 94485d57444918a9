// The serial families in the window: their panels follow the selection and
// run the panel logic, and their actions run on the simulated chip.
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QRadioButton>
#include <QSlider>
#include <QtTest>

#include "window_fixture.h"

using daraz_test::WindowFixture;

class SerialPanelsTest : public QObject {
  Q_OBJECT

 private slots:
  void thePin7AndOrganisationRadiosDriveTheDescriptor() {
    WindowFixture f;
    ui::TfrmEprom& w = f.window();
    auto* panel = w.findChild<QWidget*>("p24CSettings");
    QVERIFY(panel != nullptr);
    f.Select("24C02");
    QVERIFY(!panel->isHidden());
    auto* high = w.findChild<QRadioButton*>("r24Cpin7high");
    auto* org8 = w.findChild<QRadioButton*>("rb93_8bit");
    QVERIFY(high != nullptr && org8 != nullptr);
    QVERIFY(!high->isHidden());
    QVERIFY(org8->isHidden());
    high->click();
    QCOMPARE(w.programmer().dev.pin7, 1);
    QCOMPARE(w.findChild<QLabel*>("lb24CSettingsCaption")->text(),
             QString("24Cxxx [ PIN 7 (WP) ]"));

    f.Select("93C56 (16bit)");
    QVERIFY(high->isHidden());
    QVERIFY(!org8->isHidden());
    QVERIFY(!org8->isChecked());
    org8->click();
    QCOMPARE(w.programmer().dev.microwire.read, 0xC00u);
    org8->click();  // already checked: nothing moves
    QCOMPARE(w.programmer().dev.microwire.read, 0xC00u);
  }

  void theSpiPanelSetsTheProtectionAndAReadShowsTheChips() {
    WindowFixture f;
    ui::TfrmEprom& w = f.window();
    f.Select("25x160  (32)");
    auto* combo = w.findChild<QComboBox*>("cb25CxxxBP");
    QVERIFY(combo != nullptr);
    QCOMPARE(combo->count(), 4);
    QCOMPARE(combo->itemText(2), QString(" 400h - 7FFh"));
    combo->setCurrentIndex(2);
    QCOMPARE(w.programmer().dev.spi_status, uint8_t{0x08});

    QByteArray data(2048, '\0');
    for (int i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 13);
    QFile file(f.Path("d.bin"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(data);
    file.close();
    QVERIFY(w.LoadFile(f.Path("d.bin")));
    QVERIFY(w.StartAction(app::Action::kProgram));
    QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 60000);
    QCOMPARE(w.status_line()->text(), QString("Device Programmed OK"));

    f.Select("25x160  (32)");  // the panel back to " None"
    QCOMPARE(combo->currentIndex(), 0);
    QVERIFY(w.StartAction(app::Action::kRead));
    QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 60000);
    QCOMPARE(w.status_line()->text(), QString("Chip read OK"));
    QCOMPARE(combo->currentIndex(), 2);
    QCOMPARE(w.programmer().image[13], uint8_t(13 * 13));
  }
  // The SPI panel's tWC bar shares its name with the EPROM panel's: the one
  // inside p25CxxxSetting sets the SPI write cycle and its field, the EPROM
  // bar (1..100) is not the one moved.
  void theSpiPanelsOwnWriteCycleBarSetsItsTiming() {
    WindowFixture f;
    ui::TfrmEprom& w = f.window();
    f.Select("25x160  (32)");
    auto* panel = w.findChild<QWidget*>("p25CxxxSetting");
    QVERIFY(panel != nullptr);
    QVERIFY(!panel->isHidden());
    auto* bar = panel->findChild<QSlider*>("tbTWC");
    QVERIFY(bar != nullptr);
    QCOMPARE(bar->maximum(), 30000);
    bar->setValue(8000);
    QCOMPARE(w.programmer().dev.twc, 8000);
    QCOMPARE(w.programmer().controls.Text("edTWC"), std::string("8000"));
    auto* stretch = panel->findChild<QSlider*>("tb_clip");
    QVERIFY(stretch != nullptr);
    stretch->setValue(5);
    QCOMPARE(w.programmer().dev.spi.clock_stretch, 5);
    QCOMPARE(w.programmer().controls.Text("ed_tclip"), std::string(" 5.0 uS"));

    f.Select("27C256");  // an EPROM: its own bar, within its own range
    auto* eprom = w.findChild<QWidget*>("p27CSettings");
    QVERIFY(eprom != nullptr);
    auto* eprom_bar = eprom->findChild<QSlider*>("tbTWC");
    QVERIFY(eprom_bar != nullptr && eprom_bar != bar);
    QCOMPARE(eprom_bar->maximum(), 100);
    eprom_bar->setValue(40);
    QCOMPARE(w.programmer().dev.twc, 40);
  }
};

QTEST_MAIN(SerialPanelsTest)
#include "serial_panels_test.moc"
