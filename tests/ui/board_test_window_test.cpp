// The "Board test" window on the simulated board: the automatic part's
// findings, the steps answered by the board with a wiring fault named, and
// the board back at rest after every step and when the window closes.
#include "ui/board_test_window.h"

#include <QLabel>
#include <QListWidget>
#include <QtTest>

#include "app/programmer.h"
#include "sim/board.h"
#include "window_fixture.h"

class BoardTestWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void theSimulatedBoardAnswersEveryStep() {
    daraz_test::WindowFixture f;
    ui::TfrmEprom& w = f.window();
    f.Select("27C256");
    sim::Board* board = w.programmer().board();
    board->SetFault(sim::BoardFault::kDeadLine, 7);
    ui::BoardTestWindow window(w.programmer(), w.runner(), &w);
    QCOMPARE(window.steps().size(), size_t{27});

    window.RunAutomatic();
    QCOMPARE(window.findChild<QLabel*>("lbBoardFindings")->text().left(20),
             QString("Loop-back and data b"));
    for (size_t i = 0; i + 1 < window.steps().size(); ++i) {
      window.StartStep();
      QCOMPARE(QString::fromStdString(board->RestState()), QString(sim::kAtRest));
    }
    // The last step is Vpp: skipped without driving it.
    window.Answer(app::StepAnswer::kSkip);
    QCOMPARE(window.answers().size(), size_t{27});
    QCOMPARE(window.answers()[7], app::StepAnswer::kFail);  // A7
    QCOMPARE(window.summary().left(30), QString("25 passed, 1 failed, 1 skipped"));
    QVERIFY(window.summary().contains("socket pin 3 (A7)"));
    QCOMPARE(QString::fromStdString(board->RestState()), QString(sim::kAtRest));
    QCOMPARE(board->violations().size(), size_t{0});
  }
};

QTEST_MAIN(BoardTestWindowTest)
#include "board_test_window_test.moc"
