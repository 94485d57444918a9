// The MCS-51 settings panel in the window: the selection shows it and
// titles its option group, the radios set the lock choice, and its buttons
// lock and read the simulated chip on the worker.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "sim/board.h"
#include "sim/mcs51_chip.h"
#include "ui/configs_page.h"
#include "window_fixture.h"

using daraz_test::WindowFixture;

class Mcs51PanelTest : public QObject {
  Q_OBJECT

 private:
  static sim::Mcs51Chip* Chip(ui::TfrmEprom& w) {
    return dynamic_cast<sim::Mcs51Chip*>(w.programmer().board()->chip());
  }

 private slots:
  void theSelectionShapesThePanel() {
    WindowFixture f;
    ui::TfrmEprom& w = f.window();
    auto* panel = w.findChild<QWidget*>("pMCS51Setting");
    auto* group = w.findChild<QGroupBox*>("cbMCS51spi");
    auto* lock123 = w.findChild<QRadioButton*>("rbLock123");
    QVERIFY(panel && group && lock123);
    f.Select("AT89C2051");
    w.RenderControls();
    QVERIFY(!panel->isHidden());
    QVERIFY(group->isHidden());
    QVERIFY(!lock123->isEnabled());  // no lock bit 3 on the 20-pin parts
    f.Select("AT89S/LS8253  (12K+2K)");
    w.RenderControls();
    QVERIFY(!group->isHidden());
    QCOMPARE(group->title(), QString("Fuse"));
    QVERIFY(lock123->isEnabled());
    f.Select("AT89S/LS8252   (8K+2K)");
    w.RenderControls();
    QCOMPARE(group->title(), QString("SPI on/off"));
    auto* box0 = w.findChild<QCheckBox*>("cbMCS51spi0");
    auto* box1 = w.findChild<QCheckBox*>("cbMCS51spi1");
    QVERIFY(box0->isEnabled());
    QVERIFY(!box1->isEnabled());
    box0->click();
    QCOMPARE(box0->text(), QString("SerialPrg Disable"));
    QCOMPARE(w.programmer().dev.mcs51.option_word, uint8_t{1});
    f.Select("27C256");
    w.RenderControls();
    QVERIFY(panel->isHidden());
  }

  void radiosAndButtonsLockAndReadTheChip() {
    WindowFixture f;
    ui::TfrmEprom& w = f.window();
    f.Select("AT89S/LS51       (4KB)");
    w.RenderControls();
    w.findChild<QRadioButton*>("rbLock12")->click();
    QCOMPARE(w.programmer().dev.lock_mode, 2);
    QCOMPARE(w.programmer().controls.Index("Mcs51_lockbit"), 2);
    sim::Mcs51Chip* chip = Chip(w);
    QVERIFY(chip != nullptr);
    w.findChild<QPushButton*>("sbLockBit")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 30000);
    QCOMPARE(int{chip->locks()}, 3);
    QCOMPARE(w.status_line()->text(), QString("Device LockBit "));
    w.findChild<QPushButton*>("sbRdLB")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 30000);
    auto* text = w.findChild<QLabel*>("pRdLB");
    QCOMPARE(text->text(), QString(" Bit 1,2,3 (D2,3,4) = 110"));
    QCOMPARE(w.configs_page()->Field("MCS-51", "sig_Lbit")->text(), QString("C"));
    // The pop-up's combo and "Lock": the combo's choice.
    w.findChild<QComboBox*>("Mcs51_lockbit")->setCurrentIndex(3);
    QCOMPARE(w.programmer().dev.lock_mode, 3);
    QVERIFY(w.findChild<QRadioButton*>("rbLock123")->isChecked());
    w.findChild<QPushButton*>("btnLockBit")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 30000);
    QCOMPARE(int{chip->locks()}, 7);
    QCOMPARE(w.programmer().board()->RestState(), std::string(sim::kAtRest));
  }
};

QTEST_MAIN(Mcs51PanelTest)
#include "mcs51_panel_test.moc"
