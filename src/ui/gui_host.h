#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <cstdint>

#include "app/host.h"

namespace ui {

// What the window shows for the core. Every call arrives on the window
// thread; GuiHost does the crossing.
class HostView {
 public:
  virtual ~HostView() = default;
  virtual void ShowStatus(const QString& text, int kind) = 0;
  virtual void ShowGauge(const QString& text, qint64 maximum, uint32_t colour) = 0;
  virtual void SetGaugeProgress(qint64 position) = 0;
  virtual void HideGauge() = 0;
  virtual bool AskYesNo(const QString& question) = 0;
  virtual void Inform(const QString& text) = 0;
  virtual void SetWindowCaption(const QString& text) = 0;
  virtual void RenderControls() = 0;
};

// The core's Host for the desktop program. Routines call it from the worker
// thread; selections call it from the window thread. Reports that need no
// answer are queued to the window and the routine runs on; questions, boxes
// and control redraws block the worker until the window has dealt with
// them, because the window then reads (or the user decides) what the
// routine goes on with.
class GuiHost final : public app::Host {
 public:
  // `context` lives on the window thread; calls are delivered through it.
  GuiHost(QObject* context, HostView& view);

  void Message(const std::string& text, int kind) override;
  void ShowGauge(const std::string& text, int64_t maximum, uint32_t colour) override;
  void SetGaugeProgress(int64_t position) override;
  void HideGauge() override;
  void ProcessEvents() override;
  bool Ask(const std::string& question) override;
  void Information(const std::string& text) override;
  void SetCaption(const std::string& text) override;
  void ControlsChanged() override;

 private:
  bool OnWindowThread() const;
  template <typename Fn>
  void Post(Fn&& fn);
  template <typename Fn>
  void Wait(Fn&& fn);

  QObject* context_;
  HostView& view_;
  // The gauge moves up to a thousand times per action; while one move is
  // on its way to the window, later ones only update the position.
  std::atomic<int64_t> gauge_position_{0};
  std::atomic<bool> gauge_pending_{false};
};

}  // namespace ui
