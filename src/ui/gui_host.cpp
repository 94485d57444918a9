#include "ui/gui_host.h"

#include <QCoreApplication>
#include <QThread>

namespace ui {

GuiHost::GuiHost(QObject* context, HostView& view) : context_(context), view_(view) {}

bool GuiHost::OnWindowThread() const { return QThread::currentThread() == context_->thread(); }

template <typename Fn>
void GuiHost::Post(Fn&& fn) {
  if (OnWindowThread()) {
    fn();
  } else {
    QMetaObject::invokeMethod(context_, std::forward<Fn>(fn), Qt::QueuedConnection);
  }
}

template <typename Fn>
void GuiHost::Wait(Fn&& fn) {
  if (OnWindowThread()) {
    fn();
  } else {
    QMetaObject::invokeMethod(context_, std::forward<Fn>(fn), Qt::BlockingQueuedConnection);
  }
}

void GuiHost::Message(const std::string& text, int kind) {
  Post([this, t = QString::fromStdString(text), kind] { view_.ShowStatus(t, kind); });
}

void GuiHost::ShowGauge(const std::string& text, int64_t maximum, uint32_t colour) {
  gauge_position_.store(0);
  Post([this, t = QString::fromStdString(text), maximum, colour] {
    view_.ShowGauge(t, maximum, colour);
  });
}

void GuiHost::SetGaugeProgress(int64_t position) {
  gauge_position_.store(position);
  if (OnWindowThread()) {
    view_.SetGaugeProgress(position);
    return;
  }
  if (gauge_pending_.exchange(true)) return;
  QMetaObject::invokeMethod(
      context_,
      [this] {
        gauge_pending_.store(false);
        view_.SetGaugeProgress(gauge_position_.load());
      },
      Qt::QueuedConnection);
}

void GuiHost::HideGauge() {
  Post([this] { view_.HideGauge(); });
}

void GuiHost::ProcessEvents() {
  // On the worker there is nothing to pump: the window thread runs freely.
  // A routine run on the window thread itself (never in this program, but
  // harmless) keeps the window alive the old way.
  if (OnWindowThread()) QCoreApplication::processEvents();
}

bool GuiHost::Ask(const std::string& question) {
  bool yes = false;
  Wait([this, &yes, q = QString::fromStdString(question)] { yes = view_.AskYesNo(q); });
  return yes;
}

void GuiHost::Information(const std::string& text) {
  Wait([this, t = QString::fromStdString(text)] { view_.Inform(t); });
}

void GuiHost::SetCaption(const std::string& text) {
  Post([this, t = QString::fromStdString(text)] { view_.SetWindowCaption(t); });
}

void GuiHost::ControlsChanged() {
  // The window reads the controls while the worker waits, so the two never
  // touch them at once.
  Wait([this] { view_.RenderControls(); });
}

}  // namespace ui
