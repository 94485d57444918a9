// The flash families' settings panels in the window: shown for their
// families with the captions the selection gives, and the boxes the user
// ticks reach the routines.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QtTest>

#include "app/programmer.h"
#include "ui/panels/settings_page.h"
#include "window_fixture.h"

using daraz_test::WindowFixture;

class FlashPanelsTest : public QObject {
  Q_OBJECT

 private:
  template <typename T>
  static T* Find(WindowFixture& f, const char* name) {
    return f.window().settings_page()->findChild<T*>(name);
  }
  static bool Shown(WindowFixture& f, const char* panel) {
    QGroupBox* box = Find<QGroupBox>(f, panel);
    return box != nullptr && !box->isHidden();
  }

 private slots:
  void theBootBlockPanelShowsItsCaptionAndTakesTheBoxes() {
    WindowFixture f;
    f.Select("29F002");
    QVERIFY(Shown(f, "p49F00xsetting"));
    QVERIFY(!Shown(f, "p28Fx00setting"));
    QLabel* title = Find<QLabel>(f, "p49F00xsetting");
    QVERIFY(title != nullptr);
    QCOMPARE(title->text(), QString(" 49F00x   [ pin #RESET/Vpp (12V) ]"));
    QCheckBox* unprotect = Find<QCheckBox>(f, "cbProtect");
    QVERIFY(unprotect != nullptr && unprotect->isVisibleTo(f.window().settings_page()));
    QCOMPARE(unprotect->text(), QString("Temporary Sector Unprotect"));
    unprotect->click();
    QVERIFY(f.window().programmer().controls.Checked("cbProtect"));
    QVERIFY(!Find<QCheckBox>(f, "cbFujitsu_fastmode")->isVisibleTo(f.window().settings_page()));

    f.Select("M29F040B");
    QCOMPARE(title->text(), QString(" 29F0x0   [ pin #RESET/Vpp (12V) ]"));
    QCheckBox* fast = Find<QCheckBox>(f, "cbFujitsu_fastmode");
    QVERIFY(fast->isVisibleTo(f.window().settings_page()));
    QCOMPARE(fast->text(), QString("Fast Mode Programming ( ST Chip )"));
    QVERIFY2(!unprotect->isChecked(), "a new selection clears the unprotect box");

    f.Select("AT49F8011");
    QCOMPARE(fast->text(), QString("Single-pulse byte/Word Program (Amtel)"));
  }

  void theIntelPanelHasTheMapAndTheJ3Buffer() {
    WindowFixture f;
    f.Select("28F320J3");
    QVERIFY(Shown(f, "p28Fx00setting"));
    QCheckBox* buffer = Find<QCheckBox>(f, "cb28F320J3buffer");
    QVERIFY(buffer->isVisibleTo(f.window().settings_page()) && buffer->isChecked());
    buffer->click();
    QVERIFY(!f.window().programmer().controls.Checked("cb28F320J3buffer"));
    f.Select("28F400 B5- T");
    QVERIFY(!buffer->isVisibleTo(f.window().settings_page()));
    QCheckBox* map = Find<QCheckBox>(f, "cbMemMap");
    QCOMPARE(map->text(), QString("Erase By Memory Map  8KB/block "));
    map->click();
    QVERIFY(f.window().programmer().controls.Checked("cbMemMap"));
    f.Select("28F010");
    QVERIFY(!Shown(f, "p28Fx00setting"));
    QVERIFY(!Shown(f, "p49F00xsetting"));
  }
};

QTEST_MAIN(FlashPanelsTest)
#include "flash_panels_test.moc"
