// The sector-unprotect wizard in the window: gbUnprotect drawn from the
// core's step machine, each step's caption, pictures and boxes, the step
// button following the boxes, skip, reset, and a step run on the worker.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "window_fixture.h"

using daraz_test::WindowFixture;

class WizardPanelTest : public QObject {
  Q_OBJECT

 private:
  static QCheckBox* Box(ui::TfrmEprom& w, const char* name) {
    return w.findChild<QCheckBox*>(name);
  }
  static bool Shown(ui::TfrmEprom& w, const char* picture) {
    return !w.findChild<QLabel*>(picture)->isHidden();
  }

 private slots:
  void eachStepRendersAndItsButtonFollowsTheBoxes() {
    WindowFixture f;
    f.Select("Am29F040 Die 98403/6");
    ui::TfrmEprom& w = f.window();
    auto* panel = w.findChild<QGroupBox*>("gbUnprotect");
    auto* step = w.findChild<QPushButton*>("btnID_UN");
    auto* skip = w.findChild<QPushButton*>("btskipStep");
    auto* reset = w.findChild<QPushButton*>("btResetStep");
    QVERIFY(panel != nullptr && step != nullptr && skip != nullptr && reset != nullptr);
    QVERIFY(!panel->isHidden());
    QCOMPARE(panel->title(), QString("step 1/5 [Get ID]"));
    QCOMPARE(step->text(), QString("GET ID"));
    QCOMPARE(Box(w, "cbJP23")->text(), QString("2/3 PIN"));
    QCOMPARE(Box(w, "cbJP42")->text(), QString("4/2PIN"));
    QCOMPARE(Box(w, "cbDIPSW")->text(), QString("DIP SW setting , Jumper A18"));
    QCOMPARE(skip->text(), QString("Skip Step"));
    QCOMPARE(reset->text(), QString("Reset Step"));
    QVERIFY(Box(w, "cbOECE")->isHidden());
    QVERIFY(Shown(w, "imgJumper1"));
    QVERIFY(!Shown(w, "imgJumper2"));
    QVERIFY(!Shown(w, "imgWiring"));  // Get ID: the socket as usual

    QVERIFY(!step->isEnabled());
    Box(w, "cbJP23")->click();
    Box(w, "cbJP42")->click();
    QVERIFY(!step->isEnabled());
    Box(w, "cbDIPSW")->click();
    QVERIFY(step->isEnabled());

    // Skip: step 2, its picture, its boxes cleared.
    skip->click();
    QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 30000);
    QTRY_COMPARE(panel->title(), QString("step 2/5"));
    QCOMPARE(step->text(), QString("Sector protect ALL"));
    QCOMPARE(Box(w, "cbDIPSW")->text(), QString("DIPSW setting [SW6 off, SW7 on]"));
    QVERIFY(Shown(w, "imgJumper2"));
    QVERIFY(!Shown(w, "imgJumper1"));
    QVERIFY(Shown(w, "imgWiring"));
    QCOMPARE(w.findChild<QLabel*>("imgWiring")->toolTip(),
             QString("12 V to A9 (pin 26) and OE# (pin 24)"));
    QVERIFY(!Box(w, "cbJP23")->isChecked());
    QVERIFY(!step->isEnabled());

    // Step 4 asks for the OE/CE short as a fourth box.
    skip->click();
    QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 30000);
    skip->click();
    QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 30000);
    QTRY_COMPARE(panel->title(), QString("step 4/5"));
    QCOMPARE(step->text(), QString("Sector Unprotect All"));
    QVERIFY(Shown(w, "imgJumper3"));
    QCOMPARE(w.findChild<QLabel*>("imgWiring")->toolTip(),
             QString("12 V to A9 (pin 26) and OE# (pin 24), OE# shorted to CE# (pin 22)"));
    QVERIFY(!Box(w, "cbOECE")->isHidden());
    QCOMPARE(Box(w, "cbOECE")->text(), QString("Short pin OE<->CE"));
    for (const char* name : {"cbJP23", "cbJP42", "cbDIPSW"}) Box(w, name)->click();
    QVERIFY(!step->isEnabled());
    Box(w, "cbOECE")->click();
    QVERIFY(step->isEnabled());

    // Reset, then step 1's Get ID on the worker moves the panel on.
    reset->click();
    QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 30000);
    QTRY_COMPARE(panel->title(), QString("step 1/5 [Get ID]"));
    QVERIFY(Box(w, "cbOECE")->isHidden());
    QVERIFY(!Shown(w, "imgWiring"));
    for (const char* name : {"cbJP23", "cbJP42", "cbDIPSW"}) Box(w, name)->click();
    step->click();
    QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 30000);
    QTRY_COMPARE(panel->title(), QString("step 2/5"));
    QCOMPARE(w.programmer().dev.id_bytes[1], uint8_t(0xA4));
  }
};

QTEST_MAIN(WizardPanelTest)
#include "wizard_panel_test.moc"
