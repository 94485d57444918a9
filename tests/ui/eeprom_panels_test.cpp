// The window's panels for the EEPROM families and the guided erase: what
// the core sets shows, what the user changes reaches the core, and the step
// button runs its operation on the worker and moves the panel on.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "app/guided_panel.h"
#include "window_fixture.h"

using daraz_test::WindowFixture;

class EepromPanelsTest : public QObject {
  Q_OBJECT

 private slots:
  void pageSizeAndProtectionBoxes() {
    WindowFixture f;
    f.Select("AT28C256  (64)");
    ui::TfrmEprom& w = f.window();
    auto* panel = w.findChild<QGroupBox*>("p29CxxxSetting");
    QVERIFY(panel != nullptr);
    QVERIFY(!panel->isHidden());
    QCOMPARE(panel->title(), QString(" AT28C/29Cxxx Sector Progamming "));
    auto* size = w.findChild<QComboBox*>("cbSsize");
    QCOMPARE(size->currentText(), QString(" 64"));
    size->setCurrentIndex(2);  // the user picks 256
    QCOMPARE(w.programmer().dev.page_size, 256u);
    auto* byte_mode = w.findChild<QCheckBox*>("cbAT28CxxbyteProg");
    QVERIFY(!byte_mode->isHidden());
    byte_mode->click();
    QVERIFY(w.programmer().controls.Checked("cbAT28CxxbyteProg"));
    QVERIFY(!w.edOffset()->isEnabled());

    f.Select("AT29C010");
    QVERIFY(w.findChild<QCheckBox*>("cbAT28CxxDis")->isHidden());
    QVERIFY(byte_mode->isHidden());
    QCOMPARE(size->currentText(), QString(" 128"));
  }

  void guidedEraseStepsThroughItsPanel() {
    WindowFixture f;
    f.Select("W27x512  (Vpe 14V)");
    ui::TfrmEprom& w = f.window();
    QVERIFY(w.action("TEST27c_ERASE")->isVisible());
    QVERIFY(w.StartAction(app::Action::kErase));
    QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 30000);
    auto* panel = w.findChild<QGroupBox*>("gbUnprotect");
    QVERIFY(!panel->isHidden());
    QCOMPARE(panel->title(), QString("Erase CHIP W27C/SST27SFxxx"));
    QCOMPARE(w.findChild<QLabel*>("pDevID")->text(), QString("W27Cxx or SST27SFxxx"));
    QVERIFY(!w.findChild<QLabel*>("imgJumper1")->isHidden());
    QVERIFY(!w.findChild<QLabel*>("imgJumper2")->isHidden());
    auto* step = w.findChild<QPushButton*>("btnID_UN");
    QCOMPARE(step->text(), QString(" Erase Chip"));
    QVERIFY(!step->isEnabled());
    QVERIFY(w.findChild<QPushButton*>("btResetStep")->isHidden());
    // JP42 comes checked; the user confirms JP23 and the switches.
    QVERIFY(w.findChild<QCheckBox*>("cbJP42")->isChecked());
    w.findChild<QCheckBox*>("cbJP23")->click();
    QVERIFY(!step->isEnabled());
    w.findChild<QCheckBox*>("cbDIPSW")->click();
    QVERIFY(step->isEnabled());

    step->click();
    QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 60000);
    QCOMPARE(step->text(), QString(" Move jumper"));
    QVERIFY(!w.findChild<QLabel*>("imgJumper1")->isHidden());
    QVERIFY(w.findChild<QLabel*>("imgJumper2")->isHidden());
    QVERIFY(w.status_line()->text().startsWith("Device Erase"));
    step->click();
    QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 30000);
    QVERIFY(panel->isHidden());

    f.Select("27C256");
    QVERIFY(!w.action("TEST27c_ERASE")->isVisible());
  }
  // The MX26C1000's command-set program, the EPROM read and the erase by
  // command, from the window.
  void mx26ProgramReadAndErase() {
    WindowFixture f;
    f.Select("MX26C1000");
    ui::TfrmEprom& w = f.window();
    QByteArray data(4096, '\0');
    for (int i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7 + 3);
    QFile file(f.Path("mx.bin"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(data);
    file.close();
    QVERIFY(w.LoadFile(f.Path("mx.bin")));
    QVERIFY(w.StartAction(app::Action::kProgram));
    QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 60000);
    QCOMPARE(w.status_line()->text(), QString("Device Programmed OK"));
    QVERIFY(w.StartAction(app::Action::kRead));
    QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 60000);
    QCOMPARE(w.status_line()->text(), QString("Chip read OK"));
    QCOMPARE(w.programmer().image[100], uint8_t(100 * 7 + 3));
    QVERIFY(w.StartAction(app::Action::kErase));
    QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 60000);
    QCOMPARE(w.status_line()->text(), QString("Erase Completed"));
    QVERIFY(w.StartAction(app::Action::kBlank));
    QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 60000);
    QCOMPARE(w.status_line()->text(), QString("Device is Empty"));
  }

  // "&Program/Test RAM" runs the RAM test without a file.
  void ramTestFromTheProgramItem() {
    WindowFixture f;
    f.Select("6264      8KB");
    ui::TfrmEprom& w = f.window();
    QVERIFY(w.StartAction(app::Action::kProgram));
    QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 60000);
    QCOMPARE(w.status_line()->text(), QString("Device Test OK"));
  }
};

QTEST_MAIN(EepromPanelsTest)
#include "eeprom_panels_test.moc"
