// The PIC settings panel in the window: the selection fills the lists and
// enables the boxes, the lists and boxes compose the word the field shows,
// the OSCCAL button opens its window and reads the chip, the calibration
// words read into their edits.
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "sim/board.h"
#include "window_fixture.h"

using daraz_test::WindowFixture;

class PicPanelTest : public QObject {
  Q_OBJECT

 private:
  template <typename T>
  static T* Find(ui::TfrmEprom& w, const char* name) {
    return w.findChild<T*>(name);
  }
  static QString Text(ui::TfrmEprom& w, const char* name) {
    return Find<QLineEdit>(w, name)->text();
  }

 private slots:
  void theSelectionFillsTheListsAndBoxes() {
    WindowFixture f;
    ui::TfrmEprom& w = f.window();
    f.Select("PIC 16F84A  (P 5mS)");
    w.RenderControls();
    auto* panel = Find<QWidget>(w, "pPICSettings");
    QVERIFY(panel && !panel->isHidden());
    QCOMPARE(Find<QComboBox>(w, "cbPICosc")->count(), 4);
    QCOMPARE(Find<QComboBox>(w, "cbPICcp")->itemText(1), QString(" CP OFF"));
    QVERIFY(Find<QCheckBox>(w, "cbWDTE")->isEnabled());
    QVERIFY(!Find<QCheckBox>(w, "cbDEBUG")->isEnabled());
    QVERIFY(Find<QCheckBox>(w, "cbMCLRE5")->isEnabled());
    QVERIFY(!Find<QPushButton>(w, "btnOSCCAL")->isEnabled());
    QVERIFY(Find<QWidget>(w, "gbPIC16F684")->isHidden());
    f.Select("PIC 16F684");
    w.RenderControls();
    QVERIFY(!Find<QWidget>(w, "gbPIC16F684")->isHidden());
    // The Configs page's PIC group shows the row's mask and blank checksum.
    QCOMPARE(Text(w, "cfg_PIC_Cfg mask"), QString("FFF"));
    QCOMPARE(Text(w, "cfg_PIC_Blank sum"), QString("7FF"));
    QCOMPARE(Find<QComboBox>(w, "cbPICbod")->count(), 4);
    f.Select("PIC 12F629");
    w.RenderControls();
    QVERIFY(Find<QPushButton>(w, "btnOSCCAL")->isEnabled());
    f.Select("27C256");
    w.RenderControls();
    QVERIFY(panel->isHidden());
  }

  void theListsAndBoxesComposeTheWord() {
    WindowFixture f;
    ui::TfrmEprom& w = f.window();
    f.Select("PIC16C620/A");
    w.RenderControls();
    // The window starts with an image of 0xFF bytes, shown as it stands:
    // RC, CP off, WatchDog and Brown-out on, timer off.
    QCOMPARE(Text(w, "edPIC_cfg"), QString(" 0xFFFF"));
    QVERIFY(Find<QCheckBox>(w, "cbWDTE")->isChecked());
    QVERIFY(!Find<QCheckBox>(w, "cbPWRTE")->isChecked());
    Find<QCheckBox>(w, "cbWDTE")->click();
    w.RenderControls();
    QCOMPARE(Text(w, "edPIC_cfg"), QString(" 0x3F7B"));
    Find<QComboBox>(w, "cbPICcp")->setCurrentIndex(0);
    w.RenderControls();
    QCOMPARE(Text(w, "edPIC_cfg"), QString(" 0x004B"));
    QCOMPARE(w.programmer().image.Word(0x2007), 0x004B);
  }

  void theOsccalButtonOpensTheWindowAndReads() {
    WindowFixture f;
    ui::TfrmEprom& w = f.window();
    f.Select("PIC 12F629");
    w.RenderControls();
    Find<QPushButton>(w, "btnOSCCAL")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 30000);
    w.RenderControls();
    auto* window = Find<QDialog>(w, "frmOSCCAL");
    QVERIFY(window && window->isVisible());
    QCOMPARE(Text(w, "edOSCCAL"), QString("3458"));
    QCOMPARE(Text(w, "edOSCCALbak"), QString("2000"));
    QCOMPARE(w.status_line()->text(), QString("PIC read OSCCAL and BandGap OK"));
    QCOMPARE(w.programmer().board()->RestState(), std::string(sim::kAtRest));
  }

  void theCalibrationWordsReadIntoTheirEdits() {
    WindowFixture f;
    ui::TfrmEprom& w = f.window();
    f.Select("PIC 16F684");
    w.RenderControls();
    Find<QPushButton>(w, "btnPIC16F684rd")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 30000);
    w.RenderControls();
    QCOMPARE(Text(w, "ed0X2008"), QString("2C5F"));
    QCOMPARE(Text(w, "ed0X2009"), QString("1E9B"));
  }
};

QTEST_MAIN(PicPanelTest)
#include "pic_panel_test.moc"
