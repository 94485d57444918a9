#pragma once

#include <QObject>
#include <QThread>
#include <functional>

namespace app {
class Programmer;
}

namespace ui {

// The one worker thread every chip action runs on, so that port access and
// busy-wait timing never hold up the window. One job at a time; the window
// learns of the start and the end through the signals, which it receives on
// its own thread.
class ActionRunner : public QObject {
  Q_OBJECT

 public:
  explicit ActionRunner(app::Programmer& programmer, QObject* parent = nullptr);
  ~ActionRunner() override;

  // Starts `job` on the worker; false (and nothing runs) while another job
  // runs.
  bool Start(std::function<void(app::Programmer&)> job);
  bool Running() const { return running_; }
  // Sets the Cancel flag; the routine sees it at its next progress tick.
  void Cancel();
  // Returns once no job runs, handling window events meanwhile so that a
  // routine waiting for the window (a question, a redraw) can finish.
  void WaitIdle();
  // Starts `job` and waits for it (start-up and shut-down work).
  void RunAndWait(std::function<void(app::Programmer&)> job);

 signals:
  void Started();
  void Finished();

 private:
  app::Programmer& programmer_;
  QThread thread_;
  QObject* worker_;  // lives on thread_
  bool running_ = false;
};

}  // namespace ui
