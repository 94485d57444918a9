#include "ui/action_runner.h"

#include <QEventLoop>

#include "app/programmer.h"

namespace ui {

ActionRunner::ActionRunner(app::Programmer& programmer, QObject* parent)
    : QObject(parent), programmer_(programmer), worker_(new QObject) {
  thread_.setObjectName("daraz-action");
  worker_->moveToThread(&thread_);
  connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
  thread_.start();
}

ActionRunner::~ActionRunner() {
  if (running_) {
    Cancel();
    WaitIdle();
  }
  thread_.quit();
  thread_.wait();
}

bool ActionRunner::Start(std::function<void(app::Programmer&)> job) {
  if (running_) return false;
  running_ = true;
  emit Started();
  QMetaObject::invokeMethod(
      worker_,
      [this, job = std::move(job)] {
        job(programmer_);
        QMetaObject::invokeMethod(
            this,
            [this] {
              running_ = false;
              emit Finished();
            },
            Qt::QueuedConnection);
      },
      Qt::QueuedConnection);
  return true;
}

void ActionRunner::Cancel() { programmer_.cancel.store(1); }

void ActionRunner::WaitIdle() {
  if (!running_) return;
  QEventLoop loop;
  const auto done = connect(this, &ActionRunner::Finished, &loop, &QEventLoop::quit);
  if (running_) loop.exec();
  disconnect(done);
}

void ActionRunner::RunAndWait(std::function<void(app::Programmer&)> job) {
  WaitIdle();
  if (Start(std::move(job))) WaitIdle();
}

}  // namespace ui
