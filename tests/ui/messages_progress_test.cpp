// What the window tells during and after work: the status line and the
// message log, and the progress area with its peak counters, which must
// not push the views around when it appears.
#include <QApplication>
#include <QClipboard>
#include <QDockWidget>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "ui/buffer_page.h"
#include "ui/id_panel.h"
#include "ui/message_log.h"
#include "ui/progress_panel.h"
#include "ui/status_line.h"
#include "window_fixture.h"

using daraz_test::WindowFixture;

namespace {

// Calls `act` once, when `watched` is shown.
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

QPoint Where(QWidget* widget, QWidget* window) { return widget->mapTo(window, QPoint(0, 0)); }

}  // namespace

class MessagesProgressTest : public QObject {
  Q_OBJECT

 private slots:
  void aLongMessageEndsInAnEllipsisAndTheTooltipHoldsIt() {
    for (const QSize size : {QSize(590, 480), QSize(1000, 700)}) {
      WindowFixture f;
      ui::TfrmEprom& w = f.window();
      w.resize(size);
      QTest::qWait(20);
      const QString message = QString("LPT2 (0x278) could not be opened: ") + QString(200, 'x') +
                              " and that is the end of it";
      w.ShowStatus(message, hw::kError);
      ui::StatusLine* line = w.status_line();
      QCOMPARE(line->text(), message);
      QCOMPARE(line->toolTip(), message);
      const QString shown = line->ShownText();
      QVERIFY2(shown.endsWith(QChar(0x2026)), qPrintable(shown));
      QVERIFY(message.startsWith(shown.chopped(1)));
      QVERIFY(line->fontMetrics().horizontalAdvance(shown) <= line->contentsRect().width());
      // The line never makes the window wider than it was.
      QCOMPARE(w.width(), size.width());

      // A short one is shown whole.
      w.ShowStatus("Chip read OK", hw::kInfo);
      QCOMPARE(line->ShownText(), QString("Chip read OK"));
    }
  }

  void aDoubledAmpersandShowsOnce() {
    WindowFixture f;
    ui::TfrmEprom& w = f.window();
    w.ShowStatus("Hardware Error :  Check Power && connection", hw::kError);
    QCOMPARE(w.status_line()->text(), QString("Hardware Error :  Check Power & connection"));
    QVERIFY(w.message_log()->PlainText().endsWith("Hardware Error :  Check Power & connection"));
  }

  void theLogKeepsTheMessagesInOrderWithTheirColoursAndCopies() {
    WindowFixture f;
    ui::TfrmEprom& w = f.window();
    ui::MessageLog* log = w.message_log();
    const int before = log->count();
    QVERIFY(before >= 1);                  // "Using the simulated board", from the start
    w.StartAction(app::Action::kProgram);  // nothing loaded: refused in red
    QTRY_VERIFY(!w.Busy());
    f.Select("27C256");
    w.ShowStatus("Device Verify OK", hw::kResult);

    QListWidget* list = log->list();
    QCOMPARE(list->count(), before + 2);
    const struct {
      const char* text;
      QColor colour;
    } kExpected[] = {
        {"Please load some information to program", Qt::red},
        {"Device Verify OK", Qt::black},
    };
    for (int i = 0; i < 2; ++i) {
      const QListWidgetItem* item = list->item(before + i);
      // "hh:mm:ss  " and the text.
      QVERIFY2(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d  ").match(item->text()).hasMatch(),
               qPrintable(item->text()));
      QCOMPARE(item->text().mid(10), QString(kExpected[i].text));
      QCOMPARE(item->foreground().color(), kExpected[i].colour);
    }
    QCOMPARE(list->item(0)->foreground().color(), QColor(Qt::blue));

    // Copy takes all of them, or only the selected ones.
    QApplication::clipboard()->clear();
    log->findChild<QPushButton*>("btnCopyMessages")->click();
    QStringList lines = QApplication::clipboard()->text().split('\n');
    QCOMPARE(lines.size(), before + 3);  // the last line is empty
    QCOMPARE(lines[before].mid(10), QString("Please load some information to program"));
    QCOMPARE(lines[before + 1].mid(10), QString("Device Verify OK"));
    list->item(before + 1)->setSelected(true);
    log->Copy();
    QCOMPARE(QApplication::clipboard()->text(), list->item(before + 1)->text() + '\n');

    // The menu and a double click on the status line open it.
    QDockWidget* dock = w.message_log_dock();
    QVERIFY(dock->isHidden());
    QTest::mouseDClick(w.status_line(), Qt::LeftButton);
    QVERIFY(dock->isVisible());
    w.action("mnuMessageLog")->trigger();
    QVERIFY(dock->isHidden());
  }

  void aDeviceChangeClearsARedMessageButKeepsOthers() {
    WindowFixture f;
    ui::TfrmEprom& w = f.window();
    f.Select("27C256");
    w.StartAction(app::Action::kProgram);
    QTRY_VERIFY(!w.Busy());
    QCOMPARE(w.status_line()->text(), QString("Please load some information to program"));
    QCOMPARE(w.status_line()->kind(), int{hw::kError});
    f.Select("27C512");
    QCOMPARE(w.status_line()->text(), QString());
    QCOMPARE(w.status_line()->toolTip(), QString());
    // The log still has it.
    QVERIFY(w.message_log()->PlainText().endsWith("Please load some information to program"));

    w.ShowStatus("Binary File loaded OK", hw::kInfo);
    f.Select("27C256");
    QCOMPARE(w.status_line()->text(), QString("Binary File loaded OK"));
  }

  // The buffer view stays where it is when the progress area appears, at
  // the default size and at a larger one, and also when the gauge sends
  // away the chip-ID panel an earlier Get ID left open.
  void theProgressPanelTakesTheBoardsPlace() {
    const struct {
      QSize size;
      bool id_panel;
    } kCases[] = {{{590, 480}, false}, {{900, 640}, false}, {{590, 480}, true}};
    for (const auto& c : kCases) {
      const QSize size = c.size;
      WindowFixture f;
      ui::TfrmEprom& w = f.window();
      w.resize(size);
      const app::DeviceLookup big = app::FindDevice("29F040");
      if (!big.ok()) QSKIP("no 29F040 in the catalogue");
      w.SelectItem(*big.node);
      if (c.id_panel) {
        w.programmer().controls.Show("pIDcode");
        w.RenderControls();
        QVERIFY(w.id_panel()->isVisible());
      }
      QTest::qWait(50);
      QWidget* grid = w.buffer_page()->HexGrid();
      const QPoint before = Where(grid, &w);
      const int height_before = grid->height();
      QVERIFY(w.board_row()->isVisible());

      QPoint during;
      int height_during = 0;
      bool board_hidden = false;
      bool peaks_hidden = false;
      bool looked = false;
      // Once the panel shows, let the window lay itself out as it would on
      // screen, look, and cancel.
      OnShow shown(w.progress_panel(), [&] {
        QTimer::singleShot(50, &w, [&] {
          looked = w.progress_panel()->isVisible();
          during = Where(grid, &w);
          height_during = grid->height();
          board_hidden = !w.board_row()->isVisible();
          peaks_hidden = !w.progress_panel()->PeakValue("pLoopp")->isVisible();
          QTest::mouseClick(w.progress_panel()->cancel(), Qt::LeftButton);
        });
      });
      QVERIFY(w.StartAction(app::Action::kRead));
      QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 30000);
      QVERIFY(shown.fired);
      QVERIFY(looked);
      QCOMPARE(w.status_line()->text(), QString("program interrupted!"));  // it was running
      QCOMPARE(during, before);
      QCOMPARE(height_during, height_before);
      QVERIFY(board_hidden);
      QVERIFY(peaks_hidden);  // no routine has written a peak yet
      QTest::qWait(50);
      // Once the action is over, the room of a chip-ID panel that went
      // goes too.
      if (c.id_panel) {
        QVERIFY(!w.id_panel()->isVisible());
        QVERIFY(Where(grid, &w).y() < before.y());
      } else {
        QCOMPARE(Where(grid, &w), before);
      }
      QVERIFY(w.board_row()->isVisible());
      QVERIFY(!w.progress_panel()->isVisible());
    }
  }

  void thePeaksShowInTheProgressAreaDuringAProgramRun() {
    WindowFixture f;
    f.Select("27C256");
    ui::TfrmEprom& w = f.window();
    QFile file(f.Path("small.bin"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(0x40, '\x5A'));
    file.close();
    QVERIFY(w.LoadFile(f.Path("small.bin")));

    ui::ProgressPanel* panel = w.progress_panel();
    QString loop, loop_caption, twc, twp;
    bool in_progress_area = false;
    OnShow peaks(panel->PeakValue("pTwpp"), [&] {
      in_progress_area = panel->isVisible();
      loop = panel->PeakValue("pLoopp")->text();
      loop_caption = panel->PeakCaption("pLoopp")->text();
      twc = panel->PeakValue("pTwcp")->text();
      twp = panel->PeakValue("pTwpp")->text();
    });
    QVERIFY(w.StartAction(app::Action::kProgram));
    QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 60000);
    QCOMPARE(w.status_line()->text(), QString("Device Programmed OK"));
    QVERIFY(peaks.fired);
    QVERIFY(in_progress_area);
    // A blank simulated 27C256 takes every byte with the first 140-tick
    // pulse and the 20-tick wait.
    QCOMPARE(loop_caption, QString("Loop Peak"));
    QCOMPARE(loop, QString("1"));
    QCOMPARE(twc, QString("20"));
    QCOMPARE(twp, QString("140"));
    QVERIFY(!panel->isVisible());
  }
};

QTEST_MAIN(MessagesProgressTest)
#include "messages_progress_test.moc"
