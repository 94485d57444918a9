// Start-up, the settings store through the window, and the two ways out.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

#include "app/dispatch.h"
#include "hw/port_open.h"
#include "hw/ppdev_port.h"
#include "sim/board.h"
#include "ui/main_window.h"
#include "ui/settings_store.h"
#include "window_fixture.h"

using daraz_test::WindowFixture;

class StartupSettingsTest : public QObject {
  Q_OBJECT

 private slots:
  void firstStartSelectsThe29F020() {
    WindowFixture f;
    ui::TfrmEprom& w = f.window();
    app::Programmer& p = w.programmer();
    QCOMPARE(w.size(), QSize(590, 480));
    QCOMPARE(w.cbCheckType()->currentIndex(), 0);
    QCOMPARE(w.edChecksum()->text(), QString("0x0000"));  // 256 KB of 0xFF: 0x3FC0000
    QVERIFY(p.dev.board_flag);
    if (app::Families().FindHandler(app::HandlerId::M29F_Click) == nullptr) {
      QSKIP("the JEDEC flash handler is not registered in this build");
    }
    QCOMPARE(w.edDevice()->text(), QString("29F020"));
    QCOMPARE(p.dev.family, 4);
    QCOMPARE(p.dev.device_code, 106);
    QCOMPARE(p.image.device_size, 0x40000u);
    QCOMPARE(w.edBuffer()->text(), QString(" 0x3FFFF"));
    // The image starts blank.
    QCOMPARE(p.image[0], 0xFF);
    QCOMPARE(p.image[0xFFFFFF], 0xFF);

    w.mnuExitClick();
    QSettings& s = f.settings();
    QCOMPARE(s.value("PORT").toInt(), 0);  // LPT1
    QCOMPARE(s.value("Epr_eep").toInt(), 4);
    QCOMPARE(s.value("Epr_DeviceID").toInt(), 106);
    QCOMPARE(s.value("DEVICE").toString(), QString("29F020"));
    QCOMPARE(s.value("frmEprom_width").toInt(), 590);
    QCOMPARE(s.value("frmEprom_Height").toInt(), 480);
    QCOMPARE(s.value("CHECKSUM").toInt(), 0);
    QCOMPARE(s.value("Epr_tavrin").toInt(), 1);
  }

  void bothWaysOutSaveExactlyOnce() {
    WindowFixture f;
    f.window().mnuExitClick();
    QCOMPARE(f.window().settings_saves(), 1);
    QVERIFY(f.window().shut_down());
    f.window().close();  // the close that follows the menu's exit
    QCOMPARE(f.window().settings_saves(), 1);

    f.Reopen();
    f.window().show();
    QVERIFY(f.window().close());
    QCOMPARE(f.window().settings_saves(), 1);
    f.window().mnuExitClick();
    QCOMPARE(f.window().settings_saves(), 1);
    QCOMPARE(f.settings().childKeys().size(), 14);
  }

  void choicesSurviveARestart() {
    WindowFixture f;
    f.Select("27C16 (RevK)");
    ui::TfrmEprom& w = f.window();
    app::Programmer& p = w.programmer();
    // Options the re-selection at start-up resets must come back after it.
    p.controls.Check("cbSkip_0xFF");
    p.controls.Check("cbFastPro");
    p.controls.Check("cb5555");
    p.controls.Check("cb28FastErase");
    p.dev.lock_mode = 2;
    w.cbCheckType()->setCurrentIndex(1);
    w.resize(700, 520);
    QFile file(f.Path("a.bin"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("12345678");
    file.close();
    QVERIFY(w.LoadFile(f.Path("a.bin")));
    w.close();

    ui::TfrmEprom& again = f.Reopen();
    app::Programmer& q = again.programmer();
    QCOMPARE(again.edDevice()->text(), QString("27C16  (RevK)"));
    QCOMPARE(q.dev.family, 0);
    QCOMPARE(q.dev.device_code, 215);
    QCOMPARE(q.image.device_size, 2048u);
    QCOMPARE(q.dev.switch_pattern, 27);
    QVERIFY(q.controls.Checked("cbSkip_0xFF"));
    QVERIFY(q.controls.Checked("cbFastPro"));
    QVERIFY(q.controls.Checked("cb5555"));
    QVERIFY(q.controls.Checked("cb28FastErase"));
    QCOMPARE(q.dev.lock_mode, 2);
    QCOMPARE(again.cbCheckType()->currentIndex(), 1);
    // The CRC-32 of 2 KB of 0xFF: the image starts blank again.
    QCOMPARE(again.edChecksum()->text(), QString(" 0x3F55D17F"));
    QCOMPARE(again.size(), QSize(700, 520));
    QCOMPARE(f.settings().value("FILES").toString(), QFileInfo(f.Path("a.bin")).absolutePath());
  }

  void aDamagedStoreStartsWithTheDefaults() {
    WindowFixture f;
    f.window().close();
    QSettings& s = f.settings();
    s.clear();
    s.setValue("PORT", 9);
    s.setValue("CHECKSUM", "x");
    s.setValue("Epr_eep", 200);
    s.setValue("Epr_DeviceID", "garbage");
    s.setValue("frmEprom_width", 5);
    s.setValue("frmEprom_Height", 100000);
    s.setValue("mcs51_ModeLock", -1);
    s.sync();
    ui::TfrmEprom& w = f.Reopen();
    QSettings& t = f.settings();
    QCOMPARE(w.size(), QSize(590, 480));
    QCOMPARE(w.cbCheckType()->currentIndex(), 0);
    QCOMPARE(w.programmer().dev.lock_mode, 0);
    if (app::Families().FindHandler(app::HandlerId::M29F_Click) != nullptr) {
      QCOMPARE(w.edDevice()->text(), QString("29F020"));
    }

    // A family code that selects nothing leaves no device: the actions ask
    // for one instead of running on garbage.
    w.close();
    t.clear();
    t.setValue("Epr_eep", 37);
    t.setValue("Epr_DeviceID", 5);
    t.setValue("DEVICE", "ghost");
    t.sync();
    ui::TfrmEprom& none = f.Reopen();
    QCOMPARE(none.programmer().image.device_size, 0u);
    QVERIFY(none.StartAction(app::Action::kRead));
    QTRY_VERIFY(!none.Busy());
    QCOMPARE(none.status_line()->text(), QString("Please select a Device Type"));
  }

  void exitLeavesTheSocketSafe() {
    WindowFixture f;
    ui::TfrmEprom& w = f.window();
    sim::Board* board = w.programmer().board();
    QVERIFY(board != nullptr);
    // An ordinary family powers down, with its settling wait.
    int64_t start = board->clock().now_ns();
    w.mnuExitClick();
    QVERIFY(!board->pins().power());
    QVERIFY(board->clock().now_ns() - start > 8'000'000);

    // SPI flash: lines set in order, power off, no wait.
    ui::TfrmEprom& spi = f.Reopen();
    if (app::Families().FindHandler(app::HandlerId::MX25L512_Click) == nullptr) {
      spi.programmer().dev.family = 57;
    } else {
      f.Select("MX25L4005");
      QCOMPARE(spi.programmer().dev.family, 57);
    }
    board = spi.programmer().board();
    board->EnableTrace(true);
    start = board->clock().now_ns();
    spi.close();
    const auto& trace = board->trace();
    QCOMPARE(trace.size(), size_t{5});
    const uint16_t base = spi.programmer().bus.LptBase();
    QCOMPARE(trace[0].port, base);
    QCOMPARE(trace[0].value & 0x03, 0x01);  // clock high, data low
    const uint8_t ctrl = trace.back().value;
    QCOMPARE(ctrl & 0x04, 0);     // power off
    QCOMPARE(ctrl & 0x08, 0x08);  // program line high
    QCOMPARE(ctrl & 0x02, 0);
    QCOMPARE(ctrl & 0x01, 0x01);
    QVERIFY(board->clock().now_ns() - start < 100'000);
  }

  // A real port that cannot be opened never turns into the simulated board
  // unasked: the box names the reason and the fix, the choice stays.
  void anUnopenableStoredPortShowsTheReasonAndKeepsThePort() {
    if (hw::MachineHasParallelPort()) QSKIP("this machine has a parallel port");
    QTemporaryDir machine;  // no parallel port either
    WindowFixture f;
    f.window().close();
    f.settings().setValue("PORT", 1);
    f.settings().sync();
    ui::TfrmEprom& w = f.Reopen(false, machine.path());
    QTRY_COMPARE(f.errors.size(), 1);
    QVERIFY(f.questions.isEmpty());  // not a first start: no offer of the simulator
    QVERIFY(f.errors[0].contains("LPT2 (0x278) could not be opened"));
    QVERIFY(f.errors[0].contains("modprobe"));
    QVERIFY(!w.on_simulator());
    QVERIFY(w.programmer().board() == nullptr);
    QCOMPARE(w.cbPort()->currentText(), QString("LPT2 (0x278)"));
    QVERIFY(!w.simulated_band()->isVisible());
    QVERIFY(!w.windowTitle().contains("simulated"));

    // The actions say why they cannot reach the board.
    f.Select("27C256");
    QVERIFY(w.StartAction(app::Action::kRead));
    QTRY_VERIFY(!w.Busy());
    QVERIFY(w.status_line()->text().contains("no such device"));
    w.close();
    QCOMPARE(f.settings().value("PORT").toInt(), 1);
  }

  // Only the very first start of a machine without any parallel port offers
  // the simulated board.
  void firstStartWithoutAPortOffersTheSimulator() {
    if (hw::MachineHasParallelPort()) QSKIP("this machine has a parallel port");
    QTemporaryDir machine;
    {
      WindowFixture f;  // its first window saved nothing: the store is empty
      f.answer = true;
      ui::TfrmEprom& w = f.Reopen(false, machine.path());
      QTRY_COMPARE(f.questions.size(), 1);
      QVERIFY(f.questions[0].contains("LPT1 (0x378) could not be opened"));
      QVERIFY(f.questions[0].contains("no parallel port"));
      QVERIFY(f.errors.isEmpty());
      QVERIFY(w.on_simulator());
      QVERIFY(w.programmer().board() != nullptr);
      QCOMPARE(w.cbPort()->currentText(), QString("Simulated board"));
      QCOMPARE(w.status_line()->text(), QString("Using the simulated board"));
      QVERIFY(w.simulated_band()->isVisible());
      w.close();
      QCOMPARE(f.settings().value("PORT").toInt(), 0);  // the port stays LPT1
    }
    {
      WindowFixture f;
      f.answer = false;
      ui::TfrmEprom& w = f.Reopen(false, machine.path());
      QTRY_COMPARE(f.questions.size(), 1);
      QVERIFY(f.errors.isEmpty());
      QVERIFY(!w.on_simulator());
      QCOMPARE(w.cbPort()->currentText(), QString("LPT1 (0x378)"));
      QVERIFY(w.status_line()->text().contains("LPT1 (0x378) could not be opened"));
      QVERIFY(!w.simulated_band()->isVisible());
    }
    {
      // The kernel knows a port (only this one is not the board's): no offer.
      QVERIFY(QDir(machine.path()).mkpath("dev"));
      QFile node(machine.filePath("dev/parport0"));
      QVERIFY(node.open(QIODevice::WriteOnly));
      node.close();
      WindowFixture f;
      ui::TfrmEprom& w = f.Reopen(false, machine.path());
      QTRY_COMPARE(f.errors.size(), 1);
      QVERIFY(f.questions.isEmpty());
      QVERIFY(!w.on_simulator());
    }
  }

  void bandAndCaptionFollowThePortChoice() {
    WindowFixture f;  // on the simulated board
    ui::TfrmEprom& w = f.window();
    const QString suffix = QString::fromUtf16(ui::kSimulatedCaptionSuffix);
    QVERIFY(w.simulated_band()->isVisible());
    QVERIFY(w.simulated_band()->text().contains("nothing is written to a real chip"));
    QVERIFY(w.windowTitle().endsWith(suffix));
    const QString plain = w.windowTitle().chopped(suffix.size());
    QVERIFY(!plain.isEmpty());

    w.cbPortChange(0);  // LPT1, opened or not
    QVERIFY(!w.on_simulator());
    QVERIFY(!w.simulated_band()->isVisible());
    QCOMPARE(w.windowTitle(), plain);

    w.cbPortChange(static_cast<int>(hw::kPortChoices.size()));  // the simulated board
    QVERIFY(w.on_simulator());
    QVERIFY(w.simulated_band()->isVisible());
    QCOMPARE(w.windowTitle(), plain + suffix);
  }
};

QTEST_MAIN(StartupSettingsTest)
#include "startup_settings_test.moc"
