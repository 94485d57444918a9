// The crossing between the worker and the window: reports arrive in order,
// questions and control redraws hold the worker until the window is done,
// and the controls reach the widgets and come back from them.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>
#include <atomic>

#include "app/controls.h"
#include "app/programmer.h"
#include "ui/action_runner.h"
#include "ui/control_binder.h"
#include "ui/gui_host.h"

namespace {

// A view that records what reached the window thread.
class RecordingView : public ui::HostView {
 public:
  void ShowStatus(const QString& text, int kind) override {
    Note(QStringLiteral("status %1 %2").arg(kind).arg(text));
  }
  void ShowGauge(const QString& text, qint64 maximum, uint32_t) override {
    Note(QStringLiteral("gauge %1 %2").arg(text).arg(maximum));
  }
  void SetGaugeProgress(qint64 position) override {
    Note("progress");
    last_position = position;
  }
  void HideGauge() override { Note("hide"); }
  bool AskYesNo(const QString& question) override {
    Note("ask " + question);
    return answer;
  }
  void Inform(const QString& text) override { Note("inform " + text); }
  void SetWindowCaption(const QString& text) override { Note("caption " + text); }
  void RenderControls() override {
    Note("render");
    ++renders;
  }

  QStringList calls;
  bool on_window_thread = true;
  qint64 last_position = -1;
  bool answer = false;
  int renders = 0;

 private:
  void Note(const QString& call) {
    if (QThread::currentThread() != qApp->thread()) on_window_thread = false;
    calls << call;
  }
};

}  // namespace

class HostBindingTest : public QObject {
  Q_OBJECT

 private slots:
  void reportsFromTheWorkerArriveInOrderOnTheWindowThread() {
    RecordingView view;
    QObject context;
    ui::GuiHost host(&context, view);
    app::Programmer programmer(host);
    ui::ActionRunner runner(programmer);
    std::atomic<bool> answered{false};
    bool answer_seen = true;
    int renders_seen_by_worker = -1;
    view.answer = false;
    runner.RunAndWait([&](app::Programmer& p) {
      p.host.Message("one", 0);
      p.host.ShowGauge("Reading Chip", 1000, 0);
      for (int i = 1; i <= 1000; ++i) p.host.SetGaugeProgress(i);
      // The answer comes back to the worker; the window has seen the
      // message before the question.
      answer_seen = p.host.Ask("Use offset of 0x000010");
      answered = true;
      p.host.ControlsChanged();
      // ControlsChanged returns only after the window has redrawn.
      renders_seen_by_worker = view.renders;
      p.host.Message("two", 1);
      p.host.HideGauge();
    });
    QTRY_VERIFY(view.calls.contains("hide"));
    QVERIFY(view.on_window_thread);
    QVERIFY(answered);
    QCOMPARE(answer_seen, false);
    QCOMPARE(renders_seen_by_worker, 1);
    QCOMPARE(view.calls.first(), QString("status 0 one"));
    QCOMPARE(view.calls[1], QString("gauge Reading Chip 1000"));
    const int ask = static_cast<int>(view.calls.indexOf("ask Use offset of 0x000010"));
    QVERIFY(ask > 1);
    QVERIFY(view.calls.indexOf("render") > ask);
    QVERIFY(view.calls.indexOf("status 1 two") > view.calls.indexOf("render"));
    // A thousand gauge moves collapse to what the window can show; the last
    // position always arrives.
    QVERIFY(view.calls.count("progress") <= 1000);
    QCOMPARE(view.last_position, 1000);
  }

  void theRunnerTakesOneJobAtATime() {
    RecordingView view;
    QObject context;
    ui::GuiHost host(&context, view);
    app::Programmer programmer(host);
    ui::ActionRunner runner(programmer);
    std::atomic<bool> release{false};
    QVERIFY(runner.Start([&](app::Programmer& p) {
      while (!release && p.cancel.load() == 0) QThread::msleep(1);
    }));
    QVERIFY(runner.Running());
    QVERIFY(!runner.Start([](app::Programmer&) {}));
    runner.Cancel();
    runner.WaitIdle();
    QVERIFY(!runner.Running());
    QCOMPARE(programmer.cancel.load(), 1);
    bool ran = false;
    runner.RunAndWait([&](app::Programmer&) { ran = true; });
    QVERIFY(ran);
  }

  void controlsReachTheWidgetsAndComeBack() {
    app::Controls controls;
    ui::ControlBinder binder(controls);
    QStringList changed;
    binder.on_user_change = [&](const std::string& name) {
      changed << QString::fromStdString(name);
    };
    QCheckBox skip("Skip Write 0xFF");
    QLabel caption("Offset");
    QLabel adapter;
    adapter.setProperty("coreText", true);
    QLineEdit field;
    QComboBox combo;
    QWidget panel;
    QAction erase("Erase", nullptr);
    binder.BindButton(&skip, "cbSkip_0xFF");
    binder.BindLabel(&caption, "lbOffset");
    binder.BindLabel(&adapter, "lbAdapter");
    binder.BindField(&field, "edChecksum");
    binder.BindCombo(&combo, "cbSsize");
    binder.BindWidget(&panel, "p27CSettings", false);
    binder.BindAction(&erase, "mnuErase");
    QVERIFY(panel.isHidden());  // a panel the core has not shown stays hidden

    controls.Check("cbSkip_0xFF");
    controls.SetText("cbSkip_0xFF", "Skip Write 0x3FFF");
    controls.Enable("lbOffset", false);
    controls.SetText("lbAdapter", "EPROM 16bit (DIP40)");
    controls["lbAdapter"].colour = 0x0000FF;
    controls.SetText("edChecksum", "0xF800");
    controls["cbSsize"].items = {"64", "128", "256"};
    controls["cbSsize"].index = 2;
    controls.Show("p27CSettings");
    controls.Enable("mnuErase", false);
    binder.Render();
    QVERIFY(changed.isEmpty());  // showing the core's state is not a user change
    QVERIFY(skip.isChecked());
    QCOMPARE(skip.text(), QString("Skip Write 0x3FFF"));
    QVERIFY(!caption.isEnabled());
    QCOMPARE(caption.text(), QString("Offset"));  // no text from the core: caption kept
    QCOMPARE(adapter.text(), QString("EPROM 16bit (DIP40)"));
    QCOMPARE(adapter.palette().color(QPalette::WindowText), QColor(Qt::red));
    QCOMPARE(field.text(), QString("0xF800"));
    QCOMPARE(combo.count(), 3);
    QCOMPARE(combo.currentIndex(), 2);
    QVERIFY(!panel.isHidden());
    QVERIFY(!erase.isEnabled());

    // The core empties a label that only shows its text.
    controls.SetText("lbAdapter", "");
    binder.Render();
    QCOMPARE(adapter.text(), QString());

    skip.click();
    QVERIFY(!controls.Checked("cbSkip_0xFF"));
    combo.setCurrentIndex(0);
    QCOMPARE(controls.Index("cbSsize"), 0);
    QCOMPARE(changed, QStringList({"cbSkip_0xFF", "cbSsize"}));
  }
};

QTEST_MAIN(HostBindingTest)
#include "host_binding_test.moc"
