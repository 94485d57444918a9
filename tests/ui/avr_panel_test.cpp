// The AVR settings panel in the window: the selection captions and enables
// the fuse boxes, the boxes compose the byte the field shows, the radios
// choose the lock mode, and the two buttons write the simulated chip on
// the worker.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "sim/avr_chip.h"
#include "sim/board.h"
#include "window_fixture.h"

using daraz_test::WindowFixture;

class AvrPanelTest : public QObject {
  Q_OBJECT

 private:
  static sim::AvrChip* Chip(ui::TfrmEprom& w) {
    return dynamic_cast<sim::AvrChip*>(w.programmer().board()->chip());
  }
  static QCheckBox* Box(ui::TfrmEprom& w, int n) {
    return w.findChild<QCheckBox*>(QString("cbFbit%1").arg(n));
  }
  static QString Fuse(ui::TfrmEprom& w) { return w.findChild<QLineEdit*>("edEPRFuse")->text(); }

 private slots:
  void theSelectionCaptionsAndEnablesTheFuseBoxes() {
    WindowFixture f;
    ui::TfrmEprom& w = f.window();
    auto* panel = w.findChild<QWidget*>("pAVRsetting");
    QVERIFY(panel && Box(w, 0) && Box(w, 5));
    // Box 0 is RCEN on the AT90S1200, FSTRT on the other older parts,
    // CKSEL0 where the part has the clock and brown-out fuses.
    struct Case {
      const char* device;
      const char* first;
      bool clock_fuses;
    };
    const Case cases[] = {{"AT90S1200   DIP20", "RCEN", false},
                          {"AT90S8515   DIP40", "FSTRT", false},
                          {"AT90S4433   DIP28", "CKSEL0", true}};
    for (const Case& c : cases) {
      f.Select(c.device);
      w.RenderControls();
      QVERIFY(!panel->isHidden());
      QCOMPARE(Box(w, 0)->text(), QString(c.first));
      QCOMPARE(Box(w, 5)->text(), QString("SPIEN"));
      for (int n = 1; n <= 4; ++n) QCOMPARE(Box(w, n)->isEnabled(), c.clock_fuses);
      QVERIFY(Box(w, 0)->isEnabled() && Box(w, 5)->isEnabled());
      for (int n = 0; n < 6; ++n) QVERIFY(Box(w, n)->isChecked());
      QCOMPARE(Fuse(w), QString(" 0xFF"));
      QVERIFY(w.findChild<QRadioButton*>("rbAVRm1")->isChecked());
    }
    f.Select("27C256");
    w.RenderControls();
    QVERIFY(panel->isHidden());
  }

  void theBoxesComposeTheByteTheFuseButtonWrites() {
    WindowFixture f;
    ui::TfrmEprom& w = f.window();
    f.Select("AT90S4433   DIP28");
    w.RenderControls();
    // Unchecking a box clears its bit: CKSEL2 (bit 2) and SPIEN (bit 5).
    Box(w, 2)->click();
    QCOMPARE(Fuse(w), QString(" 0xFB"));
    Box(w, 5)->click();
    QCOMPARE(Fuse(w), QString(" 0xDB"));
    Box(w, 2)->click();
    QCOMPARE(Fuse(w), QString(" 0xDF"));
    sim::AvrChip* chip = Chip(w);
    QVERIFY(chip != nullptr);
    w.findChild<QPushButton*>("bbAVRfuse")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 30000);
    QCOMPARE(int{chip->fuses()}, 0xDF);
    QCOMPARE(w.status_line()->text(), QString("Device AVR Fuse Bits "));
    QCOMPARE(w.programmer().board()->RestState(), std::string(sim::kAtRest));
  }

  void theRadiosChooseTheLockByteTheLockButtonWrites() {
    WindowFixture f;
    ui::TfrmEprom& w = f.window();
    f.Select("AT90S2313   DIP20");
    w.RenderControls();
    sim::AvrChip* chip = Chip(w);
    QVERIFY(chip != nullptr);
    // Mode 2 programs LB1 (bit 1 of the lock byte), mode 3 LB2 as well.
    w.findChild<QRadioButton*>("rbAVRm2")->click();
    QCOMPARE(w.programmer().dev.avr.lock_mode, 2);
    w.findChild<QPushButton*>("sbAVRlockbit")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 30000);
    QCOMPARE(int{chip->locks()}, 0xFD);
    QCOMPARE(w.status_line()->text(), QString("Device AVR Lock Bits "));
    w.findChild<QRadioButton*>("rbAVRm3")->click();
    QVERIFY(!w.findChild<QRadioButton*>("rbAVRm2")->isChecked());
    w.findChild<QPushButton*>("sbAVRlockbit")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 30000);
    QCOMPARE(int{chip->locks()}, 0xF9);
    QCOMPARE(w.programmer().board()->RestState(), std::string(sim::kAtRest));
  }
};

QTEST_MAIN(AvrPanelTest)
#include "avr_panel_test.moc"
