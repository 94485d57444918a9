// Chip actions from the window on the simulated board: they run on the
// worker while the window stays live, show their progress, stop on Cancel,
// ask their questions through the window, and give the window back.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QToolBar>
#include <QtTest>
#include <functional>

#include "sim/board.h"
#include "ui/action_runner.h"
#include "ui/gauge.h"
#include "ui/progress_panel.h"
#include "window_fixture.h"

using daraz_test::WindowFixture;

// Runs `act` the moment the progress panel appears, so a test acts while
// the routine is surely still running, however fast the machine.
class OnShow : public QObject {
 public:
  OnShow(QWidget* watched, std::function<void()> act) : act_(std::move(act)) {
    watched->installEventFilter(this);
  }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Show && !fired) {
      fired = true;
      act_();
    }
    return false;
  }
  bool fired = false;

 private:
  std::function<void()> act_;
};

class ActionTest : public QObject {
  Q_OBJECT

 private:
  // A device read by the shared read routine, big enough that the read
  // takes a while on the simulator.
  static void SelectLargeDevice(WindowFixture& f) {
    const app::DeviceLookup big = app::FindDevice("29F040");
    if (!big.ok()) QSKIP("no 29F040 in the catalogue");
    f.window().SelectItem(*big.node);
    if (f.window().programmer().image.device_size != 0x80000) QSKIP("29F040 not selectable");
  }

 private slots:
  void aReadRunsWithProgressAndCanBeCancelled() {
    WindowFixture f;
    SelectLargeDevice(f);
    ui::TfrmEprom& w = f.window();
    bool cancel_live = false;
    QString caption;
    OnShow cancel(w.progress_panel(), [&] {
      cancel_live = w.progress_panel()->cancel()->isEnabled();
      caption = w.progress_panel()->caption()->text();
      QTest::mouseClick(w.progress_panel()->cancel(), Qt::LeftButton);
    });
    QVERIFY(w.StartAction(app::Action::kRead));
    QVERIFY(w.Busy());
    // Everything but Cancel waits while the action runs.
    QVERIFY(!w.pICON()->isEnabled());
    QVERIFY(!w.menuBar()->isEnabled());
    QVERIFY(!w.edOffset()->isEnabled());
    QVERIFY(!w.StartAction(app::Action::kVerify));
    QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 30000);
    QVERIFY(cancel.fired);
    QVERIFY(cancel_live);
    QCOMPARE(caption, QString("Reading Chip"));

    QCOMPARE(w.status_line()->text(), QString("program interrupted!"));
    QVERIFY(!w.progress_panel()->isVisible());
    QVERIFY(w.pICON()->isEnabled());
    QVERIFY(w.menuBar()->isEnabled());
    QVERIFY(w.edOffset()->isEnabled());
    QVERIFY(w.action("sbRead")->isEnabled());
    QVERIFY(w.programmer().board()->pins().power() == false);
  }

  void escapeCancelsToo() {
    WindowFixture f;
    SelectLargeDevice(f);
    ui::TfrmEprom& w = f.window();
    OnShow escape(w.progress_panel(), [&] { QTest::keyClick(&w, Qt::Key_Escape); });
    QVERIFY(w.StartAction(app::Action::kBlank));
    QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 30000);
    QVERIFY(escape.fired);
    QCOMPARE(w.status_line()->text(), QString("Device Check was Cancelled"));
  }

  void aReadThatRunsToTheEndReportsAndRefreshes() {
    WindowFixture f;
    f.Select("27C256");
    ui::TfrmEprom& w = f.window();
    int gauge_moves = 0;
    connect(w.progress_panel()->gauge(), &QProgressBar::valueChanged, this,
            [&gauge_moves] { ++gauge_moves; });
    QVERIFY(w.StartAction(app::Action::kRead));
    QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 30000);
    QCOMPARE(w.status_line()->text(), QString("Chip read OK"));
    // The simulated board stays named after the caption changes.
    QVERIFY(w.windowTitle().endsWith(QString("27C256 Image") +
                                     QString::fromUtf16(ui::kSimulatedCaptionSuffix)));
    QVERIFY(gauge_moves > 0);
    QCOMPARE(w.programmer().image.data_end, 0x8000u);
    QCOMPARE(w.edBuffer()->text(), QString(" 0x7FFF"));
    QVERIFY(w.pICON()->isEnabled());
  }

  void aFileProgramsIntoTheSimulatedChipAndVerifies() {
    WindowFixture f;
    f.Select("27C256");
    ui::TfrmEprom& w = f.window();
    QByteArray data(0x8000, '\xFF');
    for (int i = 0; i < 0x400; ++i) data[i] = static_cast<char>(i * 7);
    QFile file(f.Path("fw.bin"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(data);
    file.close();
    QVERIFY(w.LoadFile(f.Path("fw.bin")));
    QVERIFY(w.StartAction(app::Action::kProgram));
    QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 120000);
    QCOMPARE(w.status_line()->text(), QString("Device Programmed OK"));
    // The chip keeps its contents across another selection of the same part.
    f.Select("27C256");
    QVERIFY(w.StartAction(app::Action::kVerify));
    QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 120000);
    QCOMPARE(w.status_line()->text(), QString("Device Verify OK"));
    w.Clear1Click(2);
    QVERIFY(w.StartAction(app::Action::kRead));
    QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 120000);
    QCOMPARE(w.programmer().image[7], 49);
  }

  void questionsFromTheWorkerWaitForTheAnswer() {
    WindowFixture f;
    f.Select("27C256");
    ui::TfrmEprom& w = f.window();
    w.edOffset()->clear();
    QTest::keyClicks(w.edOffset(), "10");
    w.edOffsetExit();
    f.answer = false;  // "No": read from chip address 0
    QVERIFY(w.StartAction(app::Action::kRead));
    QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 30000);
    QCOMPARE(f.questions, QStringList{"Use offset of 0x000010"});
    QCOMPARE(w.programmer().image.buffer_offset, 0u);
    QCOMPARE(w.edOffset()->text(), QString("0000"));
  }

  void theHardwareTestAndAMissingDevice() {
    WindowFixture f;
    ui::TfrmEprom& w = f.window();
    w.mnuTestClick();
    QTRY_VERIFY(!w.Busy());
    QCOMPARE(w.status_line()->text(), QString("Hardware present "));
    w.programmer().board()->SetFault(sim::BoardFault::kNoBoard);
    w.mnuTestClick();
    QTRY_VERIFY(!w.Busy());
    QCOMPARE(w.status_line()->text(), QString("Hardware Error :  Check Power & connection"));
    QCOMPARE(w.status_line()->palette().color(QPalette::WindowText), QColor(Qt::red));
  }

  void aPortThatCannotBeOpenedIsReported() {
    if (QFile::exists("/dev/parport1")) QSKIP("a second parallel port is present");
    WindowFixture f;
    ui::TfrmEprom& w = f.window();
    w.cbPortChange(1);
    QVERIFY(w.status_line()->text().startsWith("LPT2 (0x278) could not be opened"));
    QCOMPARE(w.status_line()->palette().color(QPalette::WindowText), QColor(Qt::red));
    QVERIFY(w.programmer().board() == nullptr);
    w.cbPortChange(4);
    QVERIFY(w.programmer().board() != nullptr);
    w.mnuTestClick();
    QTRY_VERIFY(!w.Busy());
    QCOMPARE(w.status_line()->text(), QString("Hardware present "));
  }

  void closingDuringAnActionCancelsItFirst() {
    WindowFixture f;
    SelectLargeDevice(f);
    ui::TfrmEprom& w = f.window();
    OnShow close(w.progress_panel(), [&] { w.close(); });
    QVERIFY(w.StartAction(app::Action::kRead));
    QTRY_VERIFY_WITH_TIMEOUT(close.fired, 30000);
    QVERIFY(!w.Busy());
    QVERIFY(w.shut_down());
    QCOMPARE(w.settings_saves(), 1);
    QVERIFY(!w.programmer().board()->pins().power());
  }
};

QTEST_MAIN(ActionTest)
#include "action_test.moc"
