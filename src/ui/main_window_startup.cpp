// Start-up, the settings store, the port choice and the two ways out.
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QSettings>
#include <QTabWidget>
#include <QTimer>

#include "app/image_files.h"
#include "app/selection.h"
#include "app/winstat.h"
#include "hw/port_open.h"
#include "hw/ppdev_port.h"
#include "ui/action_runner.h"
#include "ui/control_binder.h"
#include "ui/hex_editor.h"
#include "ui/main_window.h"
#include "ui/safe_state.h"
#include "ui/settings_store.h"

namespace ui {
namespace {

constexpr int kSimulatedEntry = static_cast<int>(hw::kPortChoices.size());

QString PortName(int index) {
  const std::string_view text = hw::kPortChoices[index].text;
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void TfrmEprom::FormCreate() {
  app::Programmer& p = *programmer_;
  app::Controls& c = p.controls;

  c["cbPort"].index = 0;
  c.Check("cb28FastErase", false);
  c["cbCheckType"].items = {"16 Bit Add", "32 Bit CRC", " "};
  c["cbCheckType"].index = 0;
  c.SetText("edOffset", "0000");

  resize(kDefaultWidth, kDefaultHeight);
  pages_->setCurrentIndex(0);

  p.SetBufferSize(0);
  LoadSettings();
  app::ClearBuffer(p, 1);
  Winstat();
  binder_->Render(true);
  RenderControls();
  if (on_simulator_) {
    ShowStatus(QStringLiteral("Using the simulated board"), hw::kInfo);
  } else if (!start_problem_.isEmpty()) {
    ShowStatus(start_problem_, hw::kError);
    // Over the window once it shows, not before it.
    QTimer::singleShot(0, this, [this] { ReportStartProblem(); });
  }
}

// The backend given at start (--port), instead of the stored port.
void TfrmEprom::OpenStartBackend(const app::BackendSpec& backend) {
  switch (backend.kind) {
    case app::BackendSpec::Kind::kSim:
      UseSimulatedBoard();
      return;
    case app::BackendSpec::Kind::kLpt:
      OpenPort(backend.lpt_index, true);
      return;
    case app::BackendSpec::Kind::kDevice:
    case app::BackendSpec::Kind::kDirect: {
      on_simulator_ = false;
      cb_port_->setCurrentIndex(port_index_);
      ShowBoardKind();
      const std::string reason = programmer_->OpenBackend(backend);
      if (!reason.empty()) {
        start_problem_ =
            QStringLiteral("The port could not be opened: %1").arg(QString::fromStdString(reason));
      }
      return;
    }
  }
}

// Opens parallel port `index` (0..3). A port that cannot be opened stays
// chosen: every action then says why it cannot reach the board, and at
// start-up a box says so too. The simulated board is never taken instead
// unasked, so no simulated run passes for a real one.
bool TfrmEprom::OpenPort(int index, bool at_start) {
  app::Programmer& p = *programmer_;
  port_index_ = index;
  on_simulator_ = false;
  cb_port_->setCurrentIndex(index);
  ShowBoardKind();
  app::BackendSpec backend;
  backend.kind = app::BackendSpec::Kind::kLpt;
  backend.lpt_index = index;
  const std::string reason = p.OpenBackend(backend);
  if (reason.empty()) return true;
  const QString why = QStringLiteral("%1 could not be opened: %2")
                          .arg(PortName(index), QString::fromStdString(reason));
  if (at_start) {
    start_problem_ = why;
  } else {
    ShowStatus(why, hw::kError);
  }
  return false;
}

void TfrmEprom::UseSimulatedBoard() {
  app::BackendSpec backend;
  backend.kind = app::BackendSpec::Kind::kSim;
  programmer_->OpenBackend(backend);
  on_simulator_ = true;
  simulated_chip_ = {};  // a new board has an empty socket
  PrepareSimulatedChip();
  cb_port_->setCurrentIndex(kSimulatedEntry);
  ShowBoardKind();
  ShowStatus(QStringLiteral("Using the simulated board"), hw::kInfo);
}

// The port chosen at start-up could not be opened. Only on the very first
// start of a machine without any parallel port is the simulated board
// offered; otherwise the box names the reason and the fix.
void TfrmEprom::ReportStartProblem() {
  if (start_problem_.isEmpty() || on_simulator_ || shut_down_) return;
  const QString problem = start_problem_;
  start_problem_.clear();
  if (first_start_ && !hw::MachineHasParallelPort(options_.system_root)) {
    const QString question =
        problem +
        QStringLiteral(
            "\n\nThis computer has no parallel port. Use the simulated board instead? Nothing "
            "is written to a real chip on it. The Port list changes this at any time.");
    if (AskYesNo(question)) {
      UseSimulatedBoard();
      PutBoardToRest();
    }
    return;
  }
  ShowError(problem + QStringLiteral("\n\nChoose the port the board is on in the Port list, or the "
                                     "simulated board."));
}

void TfrmEprom::ShowError(const QString& text) {
  if (on_error) {
    on_error(text);
    return;
  }
  QMessageBox::critical(this, windowTitle(), text);
}

void TfrmEprom::ShowBoardKind() {
  simulated_band_->setVisible(on_simulator_);
  setWindowTitle(on_simulator_ ? caption_ + QString::fromUtf16(kSimulatedCaptionSuffix) : caption_);
}

void TfrmEprom::cbPortChange(int index) {
  if (Busy()) return;
  if (index == kSimulatedEntry) {
    UseSimulatedBoard();
  } else if (index >= 0 && index < kSimulatedEntry) {
    OpenPort(index, false);
  }
  PutBoardToRest();
}

void TfrmEprom::PutBoardToRest() {
  RunOnWorker([](app::Programmer& p) { p.bus.PowerDown(); });
}

void TfrmEprom::LoadSettings() {
  app::Programmer& p = *programmer_;
  app::Controls& c = p.controls;
  first_start_ = settings_->allKeys().isEmpty();
  const StoredSettings s = LoadStoredSettings(*settings_);

  port_index_ = s.port.value_or(0);
  if (options_.backend) {
    OpenStartBackend(*options_.backend);
  } else {
    OpenPort(port_index_, true);
  }
  c["cbPort"].index = port_index_;
  // The stored port, not the default one, is the board to put to rest.
  PutBoardToRest();

  if (s.erase) c.Check("cb28FastErase", *s.erase != 0);
  if (s.checksum) c["cbCheckType"].index = *s.checksum;
  if (s.files) files_dir_ = *s.files;
  if (s.family) p.dev.family = *s.family;

  if (s.device_id) {
    p.dev.device_code = *s.device_id;
    if (s.width || s.height) {
      resize(s.width.value_or(kDefaultWidth), s.height.value_or(kDefaultHeight));
    }
    const std::string caption = s.device ? s.device->toStdString() : std::string();
    app::ReselectByCode(p, p.dev.family, *s.device_id, caption);
    if (s.device) c.SetText("edDevice", caption);
  } else {
    app::ReselectByCode(p, 4, 0, "29F020");
    p.dev.board_flag = true;
  }

  if (s.skip_ff) c.Check("cbSkip_0xFF", *s.skip_ff != 0);
  if (s.fast_pro) c.Check("cbFastPro", *s.fast_pro != 0);
  if (s.board) p.dev.board_flag = *s.board != 0;
  if (s.sequ) c.Check("cb5555", *s.sequ != 0);
  if (s.lock_mode) p.dev.lock_mode = *s.lock_mode;

  p.SetBufferSize(p.image.device_size);
  app::UpdateAddressBits(p);
  app::ShowSwitchSettings(p, p.dev.switch_pattern);
  PrepareSimulatedChip();
}

void TfrmEprom::SaveSettings() {
  const app::Programmer& p = *programmer_;
  const app::Controls& c = p.controls;
  SettingsValues v;
  v.port = port_index_;
  v.erase = c.Checked("cb28FastErase");
  v.checksum = c.Index("cbCheckType");
  v.device = QString::fromStdString(c.Text("edDevice"));
  v.files = files_dir_;
  v.family = p.dev.family;
  v.device_id = p.dev.device_code;
  const QRect normal = isMaximized() || isFullScreen() ? normalGeometry() : geometry();
  v.width = normal.width();
  v.height = normal.height();
  v.skip_ff = c.Checked("cbSkip_0xFF");
  v.fast_pro = c.Checked("cbFastPro");
  v.board = p.dev.board_flag;
  v.sequ = c.Checked("cb5555");
  v.lock_mode = p.dev.lock_mode;
  SaveStoredSettings(*settings_, v);
  ++settings_saves_;
}

// Both ways out come here: the socket is left safe, the settings are
// stored once, and the application ends.
bool TfrmEprom::Shutdown() {
  if (shut_down_) return true;
  if (Busy()) {
    // Let the routine stop at its next tick and clean up after itself.
    runner_->Cancel();
    runner_->WaitIdle();
  }
  shut_down_ = true;
  RunOnWorker([](app::Programmer& p) { ExitSafeState(p); });
  SaveSettings();
  hex_editor_->close();
  if (options_.quit_on_exit) QApplication::quit();
  return true;
}

void TfrmEprom::mnuExitClick() {
  Shutdown();
  close();
}

void TfrmEprom::closeEvent(QCloseEvent* event) {
  Shutdown();
  event->accept();
}

}  // namespace ui
