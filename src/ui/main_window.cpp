#include "ui/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QShortcut>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/actions.h"
#include "app/image_files.h"
#include "app/number_parse.h"
#include "app/selection.h"
#include "app/sim_socket.h"
#include "app/winstat.h"
#include "image/file_filters.h"
#include "image/hex_field.h"
#include "sim/board.h"
#include "ui/action_runner.h"
#include "ui/buffer_page.h"
#include "ui/configs_page.h"
#include "ui/control_binder.h"
#include "ui/device_finder.h"
#include "ui/device_menu.h"
#include "ui/hex_editor.h"
#include "ui/id_panel.h"
#include "ui/message_log.h"
#include "ui/panels/family_panels.h"
#include "ui/panels/settings_page.h"
#include "ui/progress_panel.h"
#include "ui/side_windows.h"
#include "ui/socket_picture.h"
#include "ui/status_line.h"
#include "ui/switch_picture.h"

namespace ui {
namespace {

QColor FromColourRef(uint32_t bgr) {
  return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

// A file-dialog filter. The lists name upper-case patterns; Qt matches them
// case-sensitively here, so the lower-case spelling is offered as well.
QString DialogFilter(const image::FileFilter& filter) {
  QString label = QString::fromLatin1(filter.label.data(), filter.label.size());
  const int paren = label.indexOf('(');
  if (paren >= 0) label.truncate(paren);
  QStringList patterns;
  for (std::string_view p : filter.patterns) {
    const QString pattern = QString::fromLatin1(p.data(), p.size());
    patterns << pattern;
    if (pattern.toLower() != pattern) patterns << pattern.toLower();
  }
  return label.trimmed() + QStringLiteral(" (") + patterns.join(' ') + QLatin1Char(')');
}

}  // namespace

TfrmEprom::TfrmEprom(StartOptions options, QWidget* parent)
    : QMainWindow(parent), options_(std::move(options)) {
  setObjectName("frmEprom");
  caption_ = QStringLiteral("Tavrin Daraz Programmer");
  setWindowTitle(caption_);
  if (options_.settings != nullptr) {
    settings_ = options_.settings;
  } else {
    own_settings_ = std::make_unique<QSettings>("Tavrin", "EpromRevM");
    settings_ = own_settings_.get();
  }
  host_ = std::make_unique<GuiHost>(this, *this);
  programmer_ = std::make_unique<app::Programmer>(*host_);
  runner_ = new ActionRunner(*programmer_, this);
  connect(runner_, &ActionRunner::Started, this, [this] { SetBusy(true); });
  connect(runner_, &ActionRunner::Finished, this, [this] { ActionFinished(); });
  binder_ = new ControlBinder(programmer_->controls, this);
  binder_->on_user_change = [this](const std::string& name) { UserChangedControl(name); };
  panel_context_ = std::make_unique<PanelContext>(
      PanelContext{*programmer_,
                   *binder_,
                   [this](void (*routine)(app::Programmer&)) {
                     if (Busy()) return;
                     runner_->Start([routine](app::Programmer& p) { routine(p); });
                   },
                   {}});
  RegisterAllPanels(panels_);

  about_ = new TMenuAbout(this);
  BuildMessageLog();
  BuildMenus();
  BuildToolBar();

  auto* central = new QWidget(this);
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(2);
  status_area_ = BuildStatusArea();
  column->addWidget(status_area_);
  column->addWidget(BuildBoardSlot());
  id_panel_ = new IdPanel(*binder_, central);
  column->addWidget(id_panel_);
  column->addWidget(BuildPages(), 1);
  setCentralWidget(central);

  status_ = new StatusLine(this);
  connect(status_, &StatusLine::DoubleClicked, this, [this] {
    log_dock_->show();
    log_dock_->raise();
  });
  statusBar()->addWidget(status_, 1);
  statusBar()->setSizeGripEnabled(true);

  cfi_ = new TfrmCFI(this);
  connect(id_panel_->cfi_button(), &QPushButton::clicked, this, [this] { btnCFIClick(); });
  osccal_ = new TfrmOSCCAL(this);
  BuildOsccalWindow(*osccal_, *panel_context_);
  hex_editor_ = new TfrmEditHEX(programmer_->image.data(), this);
  connect(hex_editor_, &TfrmEditHEX::ByteWritten, this, [this] { Winstat(); });
  connect(hex_editor_, &TfrmEditHEX::PositionChanged, this,
          [this](uint32_t k) { buffer_page_->MarkByte(k); });

  // Esc cancels a running action wherever the focus is.
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  escape->setContext(Qt::WindowShortcut);
  connect(escape, &QShortcut::activated, this, [this] {
    if (runner_->Running()) runner_->Cancel();
  });

  FormCreate();
}

TfrmEprom::~TfrmEprom() {
  // The worker must be gone before the session it works on.
  delete runner_;
  runner_ = nullptr;
}

bool TfrmEprom::Busy() const { return runner_ != nullptr && runner_->Running(); }

// --- HostView ------------------------------------------------------------------------

void TfrmEprom::ShowStatus(const QString& text, int kind) {
  status_->SetMessage(text, kind);
  log_->Add(text, kind);
  if (kind == hw::kError || kind == hw::kResult) QApplication::beep();
}

void TfrmEprom::ShowGauge(const QString& text, qint64 maximum, uint32_t colour) {
  id_panel_->hide();
  osccal_->hide();
  progress_->Start(text, maximum, colour);
}

void TfrmEprom::SetGaugeProgress(qint64 position) { progress_->SetProgress(position); }

void TfrmEprom::HideGauge() { progress_->hide(); }

bool TfrmEprom::AskYesNo(const QString& question) {
  if (answer_question) return answer_question(question);
  return QMessageBox::question(this, windowTitle(), question, QMessageBox::Yes | QMessageBox::No) ==
         QMessageBox::Yes;
}

void TfrmEprom::Inform(const QString& text) {
  if (on_information) {
    on_information(text);
    return;
  }
  QMessageBox::information(this, windowTitle(), text);
}

void TfrmEprom::SetWindowCaption(const QString& text) {
  caption_ = text;
  ShowBoardKind();
}

void TfrmEprom::RenderControls() {
  binder_->Render();
  id_panel_->HideBlankLockFields();
  const app::Controls& c = programmer_->controls;
  const app::Descriptor& d = programmer_->dev;
  switch_picture_->SetPictures(app::SwitchPictures(c.Text("dipPattern"), d.board_flag));
  const app::ControlState* jumper = c.Find("lbJpa18");
  if (jumper != nullptr && !jumper->text.empty()) {
    switch_picture_->SetJumperCaption(QString::fromStdString(jumper->text),
                                      FromColourRef(jumper->colour));
  }
  socket_picture_->SetCode(d.socket_picture);
  if (!c.Visible("frmOSCCAL")) osccal_->hide();
  if (!c.Visible("pProcess")) progress_->hide();
  ApplyBufferLayout();
  configs_page_->Refresh();
  settings_page_->UpdateEmptyNote();
}

// --- keeping the window in step --------------------------------------------------------

void TfrmEprom::ApplyBufferLayout() {
  const LayoutInput in = LayoutInputOf(*programmer_);
  if (in == shown_layout_) return;
  shown_layout_ = in;
  hex_editor_->close();
  buffer_page_->SetLayout(LayoutFor(in));
}

void TfrmEprom::RefreshViews() {
  buffer_page_->Refresh();
  configs_page_->Refresh();
}

void TfrmEprom::Winstat() {
  app::winstat(*programmer_);
  RefreshViews();
}

void TfrmEprom::SetBusy(bool busy) {
  // Everything but the Cancel button (and scrolling the views) waits while
  // an action runs.
  if (busy) hex_editor_->close();
  // The chip-ID panel goes when the gauge comes; its room stays until the
  // action ends, so the views below do not jump when the action starts.
  QSizePolicy id_policy = id_panel_->sizePolicy();
  id_policy.setRetainSizeWhenHidden(busy && !id_panel_->isHidden());
  id_panel_->setSizePolicy(id_policy);
  menuBar()->setEnabled(!busy);
  tool_bar_->setEnabled(!busy);
  status_area_->setEnabled(!busy);
  board_row_->setEnabled(!busy);
  settings_page_->setEnabled(!busy);
  id_panel_->setEnabled(!busy);
  buffer_page_->move_panel()->setEnabled(!busy);
}

void TfrmEprom::ActionFinished() {
  SetBusy(false);
  binder_->Render(true);
  RenderControls();
  RefreshViews();
}

void TfrmEprom::RunOnWorker(std::function<void(app::Programmer&)> job) {
  runner_->RunAndWait(std::move(job));
}

void TfrmEprom::UserChangedControl(const std::string& name) {
  SettingsPage::ControlChanged(*panel_context_, name);
  if (name == "cbCheckType") {
    Winstat();
    return;
  }
  binder_->Render();
  configs_page_->Refresh();
}

// --- handlers ---------------------------------------------------------------------------

bool TfrmEprom::StartAction(app::Action action) {
  if (Busy()) {
    ShowStatus(app::kBusyMessage, hw::kError);
    return false;
  }
  return runner_->Start([action](app::Programmer& p) { app::RunAction(p, action); });
}

void TfrmEprom::mnuTestClick() {
  if (Busy()) return;
  runner_->Start([](app::Programmer& p) { app::mnuTestClick(p); });
}

void TfrmEprom::SelectItem(const app::CatalogueNode& node) {
  if (Busy() || programmer_->RefuseWhileBusy()) return;
  if (!app::IsSelectable(node)) return;
  hex_editor_->close();
  // A red message was about the device before; it would read as one about
  // this one.
  if (status_->kind() == hw::kError) status_->Clear();
  app::SelectDevice(*programmer_, node.handler,
                    app::SelectItem{node.tag, std::string(node.caption)});
  PrepareSimulatedChip();
  Winstat();
}

void TfrmEprom::PrepareSimulatedChip() {
  app::Programmer& p = *programmer_;
  if (!on_simulator_ || p.board() == nullptr) return;
  const SimulatedChip wanted{p.dev.family, p.dev.device_code, p.image.full_device_size};
  if (wanted == simulated_chip_ && p.board()->chip() != nullptr) return;
  simulated_chip_ = wanted;
  p.board()->InsertChip(app::MakeSimChip(p));
}

void TfrmEprom::Clear1Click(int pattern) {
  if (Busy()) return;
  hex_editor_->close();
  app::ClearBuffer(*programmer_, pattern);
  RefreshViews();
}

void TfrmEprom::edOffsetChange() {
  app::Programmer& p = *programmer_;
  const QString text = ed_offset_->text();
  p.controls.SetText("edOffset", text.toStdString());
  image::ParseHexField(text.toStdString(), p.image.buffer_offset);
  configs_page_->Refresh();
}

void TfrmEprom::edOffsetExit() {
  app::Programmer& p = *programmer_;
  if (Busy()) return;
  const QString text = QStringLiteral("%1").arg(p.image.buffer_offset, 6, 16, QLatin1Char('0'));
  p.controls.SetText("edOffset", text.toUpper().toStdString());
  Winstat();
}

void TfrmEprom::HexGridClick(int column, int row) {
  if (Busy()) return;
  if (column < 1 || column > 16) {
    hex_editor_->close();
    return;
  }
  if (row < 1) return;  // the heading row
  const ByteArea& area = buffer_page_->buffer_layout().bytes;
  const uint64_t k = uint64_t{16} * (row - 1) + (column - 1);
  if (!buffer_page_->buffer_layout().bytes_visible || k >= area.count) return;
  hex_editor_->OpenAt(area, static_cast<uint32_t>(k));
}

void TfrmEprom::PageControl1Change(int) { hex_editor_->close(); }

bool TfrmEprom::LoadFile(const QString& path, int64_t file_offset) {
  if (Busy()) return false;
  hex_editor_->close();
  bool ok = false;
  const std::string file = path.toStdString();
  image::LoadOptions options;
  options.file_offset = file_offset;
  RunOnWorker(
      [&ok, file, options](app::Programmer& p) { ok = app::LoadFile(p, file, options).ok; });
  const QFileInfo info(path);
  files_dir_ = info.absolutePath();
  save_name_ = info.fileName();
  RefreshViews();
  return ok;
}

QString TfrmEprom::SaveFile(const QString& path, image::SaveType type) {
  if (Busy()) return {};
  std::string written;
  const std::string file = path.toStdString();
  RunOnWorker([&written, file, type](app::Programmer& p) {
    written = app::SaveFile(p, file, type);
    app::winstat(p);
  });
  return QString::fromStdString(written);
}

bool TfrmEprom::LoadFileAtOffset(const QString& path, const QString& offset_text) {
  if (Busy()) return false;
  int64_t offset = 0;
  const std::string error = app::ParseSignedNumberInRange(
      offset_text.trimmed().toStdString(), "File offset", -0xFFFFFF, 0xFFFFFF, offset);
  if (!error.empty()) {
    ShowStatus(QString::fromStdString(error), hw::kError);
    return false;
  }
  return LoadFile(path, offset);
}

void TfrmEprom::mnuLoadOffsetClick() {
  if (Busy()) return;
  bool accepted = false;
  const QString offset = QInputDialog::getText(
      this, "File Offset",
      "Add to every address of the file (0x.. or decimal; -0xE000 moves a ROM assembled at "
      "0xE000 to the start of the chip):",
      QLineEdit::Normal, load_offset_, &accepted);
  if (!accepted) return;
  load_offset_ = offset;
  const QString path = ChooseFileToLoad();
  if (!path.isEmpty()) LoadFileAtOffset(path, offset);
}

QString TfrmEprom::SaveChosenFile(const QString& chosen, image::SaveType type) {
  if (Busy()) return {};
  // The writer adds the type's extension to a name with another one; the
  // dialog only asked about the name as chosen, so a file of the longer
  // name is not replaced unasked.
  const QString written =
      QString::fromStdString(app::SavePathFor(*programmer_, chosen.toStdString(), type));
  if (written != chosen && QFileInfo::exists(written) &&
      !AskYesNo(QFileInfo(written).fileName() + " already exists.\nDo you want to replace it?")) {
    return {};
  }
  return SaveFile(chosen, type);
}

void TfrmEprom::mnuLoadClick() {
  if (Busy()) return;
  const QString path = ChooseFileToLoad();
  if (!path.isEmpty()) LoadFile(path);
}

QString TfrmEprom::ChooseFileToLoad() {
  QStringList filters;
  for (const image::FileFilter& f : image::OpenFilters()) filters << DialogFilter(f);
  QFileDialog dialog(
      this, QString::fromLatin1(image::kOpenDialogTitle.data(), image::kOpenDialogTitle.size()),
      files_dir_);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setNameFilters(filters);
  if (image::kOpenDefaultFilter < filters.size()) {
    dialog.selectNameFilter(filters[image::kOpenDefaultFilter]);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first();
}

void TfrmEprom::mnuSaveClick() {
  if (Busy()) return;
  QStringList filters;
  for (const image::FileFilter& f : image::SaveFilters()) filters << DialogFilter(f);
  QFileDialog dialog(this, "Save As", files_dir_);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters(filters);
  const int preset = static_cast<int>(image::DefaultSaveType(programmer_->dev.pic)) - 1;
  if (preset < filters.size()) dialog.selectNameFilter(filters[preset]);
  if (!save_name_.isEmpty()) dialog.selectFile(save_name_);
  const bool accepted = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
  if (accepted) {
    const int type = std::max(0, static_cast<int>(filters.indexOf(dialog.selectedNameFilter())));
    const QString chosen = dialog.selectedFiles().first();
    SaveChosenFile(chosen, static_cast<image::SaveType>(type + 1));
    files_dir_ = QFileInfo(chosen).absolutePath();
    save_name_ = QFileInfo(chosen).fileName();
  }
  Winstat();
}

bool TfrmEprom::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ed_device_ && event->type() == QEvent::MouseButtonRelease &&
      status_area_->isEnabled()) {
    device_menu_->popup(ed_device_->mapToGlobal(QPoint(0, ed_device_->height())));
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace ui
