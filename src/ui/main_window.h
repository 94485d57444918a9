#pragma once

#include <QMainWindow>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/dispatch.h"
#include "app/programmer.h"
#include "image/file_save.h"
#include "ui/buffer_layout.h"
#include "ui/gui_host.h"
#include "ui/panels/panel_def.h"

class QAction;
class QComboBox;
class QDockWidget;
class QLabel;
class QLineEdit;
class QSettings;
class QTabWidget;
class QToolBar;
class QToolButton;

namespace app {
struct CatalogueNode;
}

namespace ui {

class ActionRunner;
class BufferPage;
class ConfigsPage;
class ControlBinder;
class DeviceFinder;
class DeviceMenu;
class IdPanel;
class MessageLog;
class ProgressPanel;
class SettingsPage;
class SocketPicture;
class StatusLine;
class SwitchPicture;
class TMenuAbout;
class TfrmCFI;
class TfrmEditHEX;
class TfrmOSCCAL;

// How the window starts; the defaults are the program's.
struct StartOptions {
  // The settings store; nullptr uses the user's own
  // (organisation "Tavrin", application "EpromRevM").
  QSettings* settings = nullptr;
  // A backend to use instead of the stored port (tests, demonstrations).
  std::optional<app::BackendSpec> backend;
  // End the application when the window has shut down.
  bool quit_on_exit = true;
  // Where the probe for a parallel port looks ("" = this machine's /dev and
  // /proc); tests lay out a machine of their own.
  std::string system_root;
};

// What the window adds to its caption while the simulated board is in use.
inline constexpr char16_t kSimulatedCaptionSuffix[] = u" \u2014 simulated board";

// The main window (frmEprom): menus, tool bar, status area with the board
// picture, progress panel, the Buffer, Configs and Settings pages, and the
// status line. It owns the board session; chip actions run on one worker
// thread while the window stays live.
class TfrmEprom : public QMainWindow, public HostView {
  Q_OBJECT

 public:
  explicit TfrmEprom(StartOptions options = {}, QWidget* parent = nullptr);
  ~TfrmEprom() override;

  app::Programmer& programmer() { return *programmer_; }
  bool Busy() const;

  // --- the window's handlers -------------------------------------------------
  void mnuLoadClick();
  void mnuSaveClick();
  void mnuExitClick();
  // Loads a file by its extension or content (what mnuLoadClick does after
  // the dialog), its addresses moved by `file_offset`; false when it failed.
  bool LoadFile(const QString& path, int64_t file_offset = 0);
  // Buffer, "Load with File Offset...": asks for the offset, then the file.
  void mnuLoadOffsetClick();
  // The offset as typed ("-0xE000", "4096"), then the load; a bad offset
  // is shown in the status line and nothing is loaded.
  bool LoadFileAtOffset(const QString& path, const QString& offset_text);
  // Saves as the save dialog's type; the path written, empty on failure.
  QString SaveFile(const QString& path, image::SaveType type);
  // What mnuSaveClick does with the dialog's choice: SaveFile, but a file
  // the added extension names is only replaced when the user says so.
  QString SaveChosenFile(const QString& chosen, image::SaveType type);
  // A chip action on the worker thread; false when refused (one runs).
  bool StartAction(app::Action action);
  void mnuTestClick();
  void SelectItem(const app::CatalogueNode& node);
  void cbPortChange(int index);
  void edOffsetChange();
  void edOffsetExit();
  void HexGridClick(int column, int row);
  void PageControl1Change(int page);
  void Clear1Click(int pattern);
  // The status refresh after work done on the window thread.
  void Winstat();
  // "CFI Query": the report of the query area the last Get ID read.
  void btnCFIClick();

  // --- settings ---------------------------------------------------------------
  void LoadSettings();
  void SaveSettings();
  int settings_saves() const { return settings_saves_; }
  bool shut_down() const { return shut_down_; }

  // Answers for questions and information boxes instead of a modal box
  // (tests, scripted demonstrations).
  std::function<bool(const QString&)> answer_question;
  std::function<void(const QString&)> on_information;
  std::function<void(const QString&)> on_error;

  // --- what the tests look at -------------------------------------------------
  ActionRunner& runner() { return *runner_; }
  BufferPage* buffer_page() const { return buffer_page_; }
  ConfigsPage* configs_page() const { return configs_page_; }
  SettingsPage* settings_page() const { return settings_page_; }
  TfrmEditHEX* hex_editor() const { return hex_editor_; }
  ProgressPanel* progress_panel() const { return progress_; }
  IdPanel* id_panel() const { return id_panel_; }
  SwitchPicture* switch_picture() const { return switch_picture_; }
  SocketPicture* socket_picture() const { return socket_picture_; }
  DeviceMenu* device_menu() const { return device_menu_; }
  DeviceFinder* device_finder() const { return finder_; }
  StatusLine* status_line() const { return status_; }
  MessageLog* message_log() const { return log_; }
  QDockWidget* message_log_dock() const { return log_dock_; }
  // The board picture and the status fields beside it; the progress panel
  // takes their place during an action.
  QWidget* board_row() const { return board_row_; }
  // The band over the board picture while the simulated board is in use.
  QLabel* simulated_band() const { return simulated_band_; }
  bool on_simulator() const { return on_simulator_; }
  QLineEdit* edDevice() const { return ed_device_; }
  QLineEdit* edOffset() const { return ed_offset_; }
  QLineEdit* edChecksum() const { return ed_checksum_; }
  QLineEdit* edBuffer() const { return ed_buffer_; }
  QComboBox* cbPort() const { return cb_port_; }
  QComboBox* cbCheckType() const { return cb_check_type_; }
  QTabWidget* PageControl1() const { return pages_; }
  QToolBar* pICON() const { return tool_bar_; }
  QAction* action(const QString& name) const;
  TMenuAbout* about_window() const { return about_; }
  TfrmCFI* cfi_window() const { return cfi_; }
  TfrmOSCCAL* osccal_window() const { return osccal_; }

  // --- HostView ----------------------------------------------------------------
  void ShowStatus(const QString& text, int kind) override;
  void ShowGauge(const QString& text, qint64 maximum, uint32_t colour) override;
  void SetGaugeProgress(qint64 position) override;
  void HideGauge() override;
  bool AskYesNo(const QString& question) override;
  void Inform(const QString& text) override;
  void SetWindowCaption(const QString& text) override;
  void RenderControls() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Building the window (main_window_layout.cpp).
  void BuildMenus();
  void BuildToolBar();
  QWidget* BuildStatusArea();
  QWidget* BuildBoardRow();
  QWidget* BuildBoardSlot();
  void BuildMessageLog();
  QWidget* BuildPages();
  QAction* AddAction(QMenu* menu, const QString& name, const QString& caption,
                     std::function<void()> handler);

  // Start-up and shut-down (main_window_startup.cpp).
  void FormCreate();
  void OpenStartBackend(const app::BackendSpec& backend);
  bool OpenPort(int index, bool at_start);
  void UseSimulatedBoard();
  void ReportStartProblem();
  void ShowError(const QString& text);
  // The caption and the band say whether the simulated board is in use.
  void ShowBoardKind();
  void PutBoardToRest();
  bool Shutdown();

  // Keeping the window in step with the session.
  void RefreshViews();
  void ApplyBufferLayout();
  void SetBusy(bool busy);
  void ActionFinished();
  void RunOnWorker(std::function<void(app::Programmer&)> job);
  // The open dialog; the chosen file, empty when cancelled.
  QString ChooseFileToLoad();
  void UserChangedControl(const std::string& name);
  void PrepareSimulatedChip();

  StartOptions options_;
  std::unique_ptr<QSettings> own_settings_;
  QSettings* settings_ = nullptr;
  std::unique_ptr<GuiHost> host_;
  std::unique_ptr<app::Programmer> programmer_;
  ActionRunner* runner_ = nullptr;
  ControlBinder* binder_ = nullptr;
  std::unique_ptr<PanelContext> panel_context_;
  PanelRegistry panels_;

  QToolBar* tool_bar_ = nullptr;
  DeviceMenu* device_menu_ = nullptr;
  DeviceFinder* finder_ = nullptr;
  QLineEdit* ed_device_ = nullptr;
  QToolButton* device_button_ = nullptr;
  QComboBox* cb_port_ = nullptr;
  QLineEdit* ed_offset_ = nullptr;
  QComboBox* cb_check_type_ = nullptr;
  QLineEdit* ed_checksum_ = nullptr;
  QLineEdit* ed_buffer_ = nullptr;
  QLabel* lb_adapter_ = nullptr;
  QLabel* lb_adapter2_ = nullptr;
  SwitchPicture* switch_picture_ = nullptr;
  SocketPicture* socket_picture_ = nullptr;
  QWidget* status_area_ = nullptr;
  ProgressPanel* progress_ = nullptr;
  IdPanel* id_panel_ = nullptr;
  QTabWidget* pages_ = nullptr;
  BufferPage* buffer_page_ = nullptr;
  ConfigsPage* configs_page_ = nullptr;
  SettingsPage* settings_page_ = nullptr;
  StatusLine* status_ = nullptr;
  MessageLog* log_ = nullptr;
  QDockWidget* log_dock_ = nullptr;
  QWidget* board_row_ = nullptr;
  QLabel* simulated_band_ = nullptr;
  TfrmEditHEX* hex_editor_ = nullptr;
  TMenuAbout* about_ = nullptr;
  TfrmCFI* cfi_ = nullptr;
  TfrmOSCCAL* osccal_ = nullptr;

  QString files_dir_;          // where the file dialogs start ("FILES")
  QString save_name_;          // the name the save dialog proposes
  QString load_offset_ = "0";  // what "Load with File Offset..." proposes
  int port_index_ = 0;         // the parallel port chosen (0..3), kept while on the simulator
  bool on_simulator_ = false;
  LayoutInput shown_layout_{-1};
  int settings_saves_ = 0;
  bool shut_down_ = false;
  // The device whose chip model sits in the simulated socket; a new,
  // blank chip goes in only when another device is chosen.
  struct SimulatedChip {
    int family = -1;
    int device_code = 0;
    uint32_t size = 0;
    bool operator==(const SimulatedChip&) const = default;
  } simulated_chip_;
  QString caption_;           // the window caption the session set, without the suffix
  QString start_problem_;     // why the port chosen at start-up could not be opened
  bool first_start_ = false;  // the settings store was empty
};

}  // namespace ui
