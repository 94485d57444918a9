// The flash tools in the window: the CFI report filled from a Get ID.
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QCheckBox>
#include <QTableWidget>
#include <QtTest>

#include "app/programmer.h"
#include "ui/panels/settings_page.h"
#include "ui/side_windows.h"
#include "window_fixture.h"

using daraz_test::WindowFixture;

class FlashToolsTest : public QObject {
  Q_OBJECT

 private slots:
  void theCfiWindowFillsFromTheLastGetId() {
    WindowFixture f;
    ui::TfrmEprom& w = f.window();
    f.Select("Am29LV065  (64Mb)");
    QVERIFY(w.StartAction(app::Action::kGetId));
    QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 30000);
    auto* button = w.findChild<QPushButton*>("btnCFI");
    QVERIFY(button != nullptr && !button->isHidden());
    QTest::mouseClick(button, Qt::LeftButton);
    ui::TfrmCFI* cfi = w.cfi_window();
    QVERIFY(cfi->isVisible());
    QVERIFY(cfi->findChild<QLabel*>("ptCFI")->text().endsWith(
        " -- CFI ( Common Flash memory Interface )"));
    QTableWidget* grid = cfi->sgCFI();
    QCOMPARE(grid->rowCount(), 99);
    // Grid row r shows offset r + 16 once the header row is the header.
    QCOMPARE(grid->item(0x27 - 16, 1)->text(), QString(" 0x27"));
    QCOMPARE(grid->item(0x27 - 16, 3)->text(), QString(" 0x800000 (8192Kbyte)"));
    QCOMPARE(grid->item(0x2D - 16, 3)->text(), QString(" 128 * ( 0x10000 )"));
    QCOMPARE(grid->item(0x45 - 16, 0)->text(), QString("Address Sensitive Unlock"));
    QCOMPARE(grid->horizontalHeaderItem(2)->text(), QString("Code"));
    // Read-only, and a selected row copies as text.
    QVERIFY(grid->editTriggers() == QAbstractItemView::NoEditTriggers);
    grid->selectRow(0x13 - 16);
    QCOMPARE(cfi->SelectedText(),
             QString("Primary OEM Command Set\t0x13\t0x02\tAMD/Fujitsu Standard"));
  }

  void theSectorGridRefreshesAfterAProtect() {
    WindowFixture f;
    ui::TfrmEprom& w = f.window();
    f.Select("MX29F004 - T");
    QWidget* page = w.settings_page();
    auto* grid = page->findChild<QTableWidget*>("sgMXICF29SecVfyF29");
    auto* status = page->findChild<QPushButton*>("sbMXICF29SecStatus");
    auto* protect = page->findChild<QPushButton*>("sbMXICF29SecProt");
    QVERIFY(grid != nullptr && status != nullptr && protect != nullptr);
    QVERIFY(grid->isVisibleTo(page));
    QVERIFY(!protect->isEnabled());
    QTest::mouseClick(status, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 30000);
    QTRY_COMPARE(grid->rowCount(), 11);
    QCOMPARE(grid->horizontalHeaderItem(3)->text(), QString(" Status"));
    QCOMPARE(grid->item(3, 3)->text(), QString(" Unlock"));
    QVERIFY(protect->isEnabled());
    grid->selectRow(3);
    QCOMPARE(w.programmer().controls.Index("sgMXICF29SecVfyF29"), 4);
    QTest::mouseClick(protect, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 30000);
    QTRY_COMPARE(grid->item(3, 3)->text(), QString(" Lock"));
    QCOMPARE(grid->item(3, 1)->text(), QString(" 30000 - 3FFFF"));
    QCOMPARE(grid->item(4, 3)->text(), QString(" Unlock"));
    QVERIFY(page->findChild<QPushButton*>("sb28FBlockUnlock")->isHidden());
  }

  // The 28F J3: the same panel locks a block and unlocks it again.
  void theJ3LocksAndUnlocksABlock() {
    WindowFixture f;
    ui::TfrmEprom& w = f.window();
    f.Select("28F320 J3 ");
    QWidget* page = w.settings_page();
    auto* grid = page->findChild<QTableWidget*>("sgMXICF29SecVfyF29");
    auto* lock = page->findChild<QPushButton*>("sbMXICF29SecProt");
    auto* unlock = page->findChild<QPushButton*>("sb28FBlockUnlock");
    QVERIFY(grid != nullptr && lock != nullptr && unlock != nullptr);
    QCOMPARE(lock->text(), QString("lock sector"));
    QVERIFY(unlock->isVisibleTo(page) && !unlock->isEnabled());
    QTest::mouseClick(page->findChild<QPushButton*>("sbMXICF29SecStatus"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 30000);
    QTRY_COMPARE(grid->rowCount(), 32);
    QVERIFY(unlock->isEnabled());
    grid->selectRow(5);
    QTest::mouseClick(lock, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 30000);
    QTRY_COMPARE(grid->item(5, 3)->text(), QString(" Lock"));
    grid->selectRow(5);
    QTest::mouseClick(unlock, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 30000);
    QTRY_COMPARE(grid->item(5, 3)->text(), QString(" Unlock"));
  }

  // The firmware-hub panel: the R/C# bar at 50 after selection, its time
  // in the field, and the two program boxes.
  void theFirmwareHubPanelSetsTheRcTime() {
    WindowFixture f;
    ui::TfrmEprom& w = f.window();
    f.Select("intel 82802AB");
    auto* panel = w.findChild<QWidget*>("pFirwareHubSetting");
    QVERIFY(panel != nullptr && !panel->isHidden());
    auto* bar = panel->findChild<QSlider*>("tbRCtime");
    QVERIFY(bar != nullptr);
    QCOMPARE(bar->minimum(), 10);
    QCOMPARE(bar->maximum(), 500);
    QCOMPARE(bar->value(), 50);
    QCOMPARE(panel->findChild<QLabel*>("edRCtime")->text(), QString(" 50.0 uS"));
    bar->setValue(120);
    QCOMPARE(w.programmer().dev.rc_time, 120);
    QCOMPARE(panel->findChild<QLabel*>("edRCtime")->text(), QString(" 120.0 uS"));
    auto* quad = panel->findChild<QCheckBox*>("cbQuadruple");
    QVERIFY(quad != nullptr && !quad->isChecked());
    QCOMPARE(quad->text(), QString("Quadruple Byte Program ( ST micro M50xxxx )"));
    quad->click();
    QVERIFY(w.programmer().controls.Checked("cbQuadruple"));

    // A new selection puts the time back; the hub handler clears the
    // quadruple box.
    f.Select("SST49LF004");
    QCOMPARE(bar->value(), 50);
    QCOMPARE(w.programmer().dev.rc_time, 50);
    QVERIFY(panel->findChild<QCheckBox*>("cbSamartProg")->isEnabled());
    f.Select("M50FW040");
    QVERIFY(!quad->isChecked());
  }
};

QTEST_MAIN(FlashToolsTest)
#include "flash_tools_test.moc"
