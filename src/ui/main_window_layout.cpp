// Building the main window's menus, tool bar, status area and pages.
#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QShortcut>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/actions.h"
#include "app/image_files.h"
#include "families/parallel/ee_eprom.h"
#include "hw/port_open.h"
#include "ui/board_test_window.h"
#include "ui/action_runner.h"
#include "ui/buffer_page.h"
#include "ui/configs_page.h"
#include "ui/control_binder.h"
#include "ui/device_finder.h"
#include "ui/device_menu.h"
#include "ui/icons.h"
#include "ui/id_panel.h"
#include "ui/main_window.h"
#include "ui/message_log.h"
#include "ui/panels/settings_page.h"
#include "ui/progress_panel.h"
#include "ui/side_windows.h"
#include "ui/socket_picture.h"
#include "ui/switch_picture.h"

namespace ui {
namespace {

// The extra entry of the port list after the four parallel ports.
constexpr char kSimulatedBoard[] = "Simulated board";

QLineEdit* ReadOnlyField(QWidget* parent, const char* name, const QString& widest) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(name);
  field->setReadOnly(true);
  field->setFixedWidth(field->fontMetrics().horizontalAdvance(widest) + 14);
  return field;
}

QLabel* Caption(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return label;
}

}  // namespace

QAction* TfrmEprom::AddAction(QMenu* menu, const QString& name, const QString& caption,
                              std::function<void()> handler) {
  auto* action = new QAction(caption, this);
  action->setObjectName(name);
  connect(action, &QAction::triggered, this, [handler = std::move(handler)] { handler(); });
  if (menu != nullptr) menu->addAction(action);
  binder_->BindAction(action, name.toStdString());
  return action;
}

QAction* TfrmEprom::action(const QString& name) const { return findChild<QAction*>(name); }

void TfrmEprom::BuildMenus() {
  QMenu* file = menuBar()->addMenu("&File");
  QAction* load = AddAction(file, "mnuLoad", "&Load", [this] { mnuLoadClick(); });
  load->setShortcut(QKeySequence::Open);
  QAction* save = AddAction(file, "mnuSave", "&Save As..", [this] { mnuSaveClick(); });
  save->setShortcut(QKeySequence::Save);
  file->addSeparator();
  AddAction(file, "mnuExit", "E&xit", [this] { mnuExitClick(); });

  QMenu* buffer = menuBar()->addMenu("&Buffer");
  QMenu* clear = buffer->addMenu("&Clear");
  const char* patterns[] = {"OxFF", "0x00", "0xAA,0x55", "0x55, 0xAA"};
  for (int tag = 1; tag <= 4; ++tag) {
    AddAction(clear, QStringLiteral("Clear%1").arg(tag), patterns[tag - 1],
              [this, tag] { Clear1Click(tag); });
  }
  AddAction(buffer, "InvertDATA1", "Invert DATA", [this] {
    app::InvertBuffer(*programmer_);
    RefreshViews();
  });
  AddAction(buffer, "Swapbyte1", "Swap BYTE", [this] {
    app::SwapBufferBytes(*programmer_);
    RefreshViews();
  });
  AddAction(buffer, "MoveAtoBaddress1", "Move  A to B address", [this] {
    pages_->setCurrentWidget(buffer_page_);
    buffer_page_->ShowMovePanel();
  });
  AddAction(buffer, "CopyDatatoFullCHIP1", "Copy Data to Full CHIP", [this] {
    app::CopyToFullChip(*programmer_);
    RefreshViews();
  });
  buffer->addSeparator();
  AddAction(buffer, "TM377A1", "TM377A Encode 32KB", [this] {
    app::Tm377a(*programmer_, true);
    RefreshViews();
  });
  AddAction(buffer, "TM377A2", "TM377A Decode 32KB", [this] {
    app::Tm377a(*programmer_, false);
    RefreshViews();
  });
  buffer->addSeparator();
  // ROM images are often assembled at high addresses (0xE000 for a 6502):
  // this loads them moved to where the chip starts.
  AddAction(buffer, "mnuLoadOffset", "Load with File &Offset...", [this] { mnuLoadOffsetClick(); });

  device_menu_ = new DeviceMenu("&Device", this);
  menuBar()->addMenu(device_menu_);
  connect(device_menu_, &DeviceMenu::DeviceChosen, this,
          [this](const app::CatalogueNode* node) { SelectItem(*node); });

  QMenu* actions = menuBar()->addMenu("&Action");
  const struct {
    const char* name;
    const char* caption;
    app::Action action;
  } kActions[] = {
      {"mnuRead", "&Read", app::Action::kRead},
      {"mnuProgram", "&Program/Test RAM", app::Action::kProgram},
      {"mnuVerify", "&Compare/Verify", app::Action::kVerify},
      {"mnuBlank", "&Blank Check", app::Action::kBlank},
      {"mnuErase", "&Erase 28/29/49/89/90/PIC", app::Action::kErase},
      {"mnuGetID", "&Get ID 28/29/49/89/90", app::Action::kGetId},
  };
  for (const auto& a : kActions) {
    const app::Action which = a.action;
    AddAction(actions, a.name, a.caption, [this, which] { StartAction(which); });
  }
  // The W27E/SST27SF erase without the guided panel.
  AddAction(actions, "TEST27c_ERASE", "FastErase", [this] {
    if (Busy()) return;
    runner_->Start([](app::Programmer& p) { families::ee_eprom::TEST27c_ERASEClick(p); });
  });
  actions->addSeparator();
  AddAction(actions, "mnuTest", "&Test Hardware", [this] { mnuTestClick(); });
  // A home-built board checked line by line, for the selected device's socket.
  AddAction(actions, "mnuBoardTest", "&Board test...", [this] {
    if (Busy()) return;
    BoardTestWindow window(*programmer_, *runner_, this);
    window.exec();
  });

  QMenu* view = menuBar()->addMenu("&View");
  QAction* log = log_dock_->toggleViewAction();
  log->setObjectName("mnuMessageLog");
  log->setText("Message &Log");
  log->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
  view->addAction(log);

  QAction* about = AddAction(nullptr, "About1", "&About", [this] { about_->exec(); });
  menuBar()->addAction(about);
}

void TfrmEprom::BuildToolBar() {
  tool_bar_ = addToolBar("pICON");
  tool_bar_->setObjectName("pICON");
  tool_bar_->setMovable(false);
  tool_bar_->setIconSize(QSize(22, 22));
  const struct {
    const char* name;
    Glyph glyph;
    const char* hint;
    std::function<void()> run;
  } kButtons[] = {
      {"sbLoad", Glyph::kOpen, "Open File", [this] { mnuLoadClick(); }},
      {"sbSave", Glyph::kSave, "Save File", [this] { mnuSaveClick(); }},
      {"sbClear", Glyph::kClear, "Clear Buffer (0xFF)", [this] { Clear1Click(1); }},
      {nullptr, Glyph::kApp, nullptr, nullptr},
      {"sbRead", Glyph::kRead, "Read Chip", [this] { StartAction(app::Action::kRead); }},
      {"sbProgram", Glyph::kProgram, "Program Chip",
       [this] { StartAction(app::Action::kProgram); }},
      {"sbVerify", Glyph::kVerify, "Verify", [this] { StartAction(app::Action::kVerify); }},
      {"sbBlank", Glyph::kBlank, "Blank Test", [this] { StartAction(app::Action::kBlank); }},
      {"sbErase", Glyph::kErase, "Erase Chip", [this] { StartAction(app::Action::kErase); }},
      {"sbGetID", Glyph::kGetId, "Get ID", [this] { StartAction(app::Action::kGetId); }},
  };
  for (const auto& b : kButtons) {
    if (b.name == nullptr) {
      tool_bar_->addSeparator();
      continue;
    }
    QAction* a = AddAction(nullptr, b.name, b.hint, b.run);
    a->setIcon(GlyphIcon(b.glyph));
    a->setToolTip(b.hint);
    tool_bar_->addAction(a);
  }
  binder_->BindWidget(tool_bar_, "pICON");

  auto* spacer = new QWidget(tool_bar_);
  spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  tool_bar_->addWidget(spacer);
  finder_ = new DeviceFinder(tool_bar_);
  finder_->setPlaceholderText(QString::fromUtf8("Find device\u2026  (Ctrl+F)"));
  finder_->setMinimumWidth(finder_->fontMetrics().horizontalAdvance("Find device... (Ctrl+F)") +
                           40);
  finder_->setToolTip("Type part of a device name, then pick it from the list");
  tool_bar_->addWidget(finder_);
  connect(finder_, &DeviceFinder::DeviceChosen, this,
          [this](const app::CatalogueNode* node) { SelectItem(*node); });
  auto* find = new QAction("Find device", this);
  find->setObjectName("actFindDevice");
  find->setShortcut(QKeySequence::Find);
  find->setShortcutContext(Qt::WindowShortcut);
  connect(find, &QAction::triggered, this, [this] {
    finder_->setFocus(Qt::ShortcutFocusReason);
    finder_->selectAll();
  });
  addAction(find);
}

QWidget* TfrmEprom::BuildStatusArea() {
  auto* area = new QWidget(this);
  area->setObjectName("pStatus");
  auto* grid = new QGridLayout(area);
  grid->setContentsMargins(6, 4, 6, 2);
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(4);

  // Row 0: the device, its offset and the port.
  ed_device_ = new QLineEdit(area);
  ed_device_->setObjectName("edDevice");
  ed_device_->setReadOnly(true);
  ed_device_->setToolTip("The selected device; click to choose another");
  ed_device_->installEventFilter(this);
  QFont bold = ed_device_->font();
  bold.setBold(true);
  ed_device_->setFont(bold);
  binder_->BindField(ed_device_, "edDevice");
  device_button_ = new QToolButton(area);
  device_button_->setObjectName("btnDevice");
  device_button_->setText("Device");
  device_button_->setToolTip("Choose the device from the catalogue");
  device_button_->setPopupMode(QToolButton::InstantPopup);
  device_button_->setMenu(device_menu_);
  device_button_->setToolButtonStyle(Qt::ToolButtonTextOnly);

  auto* lb_offset = Caption("Offset", area);
  lb_offset->setObjectName("lbOffset");
  binder_->BindLabel(lb_offset, "lbOffset");
  ed_offset_ = new QLineEdit("0000", area);
  ed_offset_->setObjectName("edOffset");
  ed_offset_->setFixedWidth(ed_offset_->fontMetrics().horizontalAdvance("00000000") + 14);
  ed_offset_->setToolTip("Chip address of buffer byte 0 (hexadecimal)");
  binder_->BindField(ed_offset_, "edOffset");
  connect(ed_offset_, &QLineEdit::textEdited, this, [this] { edOffsetChange(); });
  connect(ed_offset_, &QLineEdit::editingFinished, this, [this] { edOffsetExit(); });

  cb_port_ = new QComboBox(area);
  cb_port_->setObjectName("cbPort");
  for (const hw::PortChoice& choice : hw::kPortChoices) {
    cb_port_->addItem(QString::fromLatin1(choice.text.data(), choice.text.size()));
  }
  cb_port_->addItem(kSimulatedBoard);
  cb_port_->setToolTip("The parallel port the programmer board is on");
  connect(cb_port_, &QComboBox::activated, this, [this](int index) { cbPortChange(index); });

  grid->addWidget(device_button_, 0, 0);
  grid->addWidget(ed_device_, 0, 1, 1, 2);
  grid->addWidget(lb_offset, 0, 3);
  grid->addWidget(ed_offset_, 0, 4);
  grid->addWidget(Caption("Port", area), 0, 5);
  grid->addWidget(cb_port_, 0, 6);

  // Row 1, while the simulated board is in use: a band nobody can miss.
  simulated_band_ = new QLabel(
      QString::fromUtf8("Simulated board \u2014 nothing is written to a real chip"), area);
  simulated_band_->setObjectName("lbSimulatedBoard");
  simulated_band_->setAlignment(Qt::AlignCenter);
  simulated_band_->setStyleSheet(
      "QLabel { background: #F5B400; color: black; font-weight: bold; padding: 3px; }");
  simulated_band_->setToolTip("Choose the port the board is on in the Port list");
  simulated_band_->hide();

  grid->addWidget(simulated_band_, 1, 0, 1, 7);
  grid->setColumnStretch(2, 1);
  return area;
}

// The board picture, then the socket, then the checksum column.
QWidget* TfrmEprom::BuildBoardRow() {
  auto* area = new QWidget(this);
  area->setObjectName("pBoard");
  switch_picture_ = new SwitchPicture(area);
  switch_picture_->setToolTip("Jumper and DIP switches to set on the board for this device");
  socket_picture_ = new SocketPicture(area);
  socket_picture_->setToolTip("Where the chip goes in the socket");

  auto* right = new QGridLayout;
  right->setVerticalSpacing(3);
  cb_check_type_ = new QComboBox(area);
  cb_check_type_->setObjectName("cbCheckType");
  cb_check_type_->addItems({"16 Bit Add", "32 Bit CRC", " "});
  binder_->BindCombo(cb_check_type_, "cbCheckType");
  ed_checksum_ = ReadOnlyField(area, "edChecksum", " 0x00000000");
  binder_->BindField(ed_checksum_, "edChecksum");
  ed_buffer_ = ReadOnlyField(area, "edBuffer", " 0xFFFFFFFF");
  ed_buffer_->setToolTip("Last address of the device");
  binder_->BindField(ed_buffer_, "edBuffer");
  lb_adapter_ = new QLabel(area);
  lb_adapter_->setObjectName("lbAdapter");
  lb_adapter_->setProperty("coreText", true);
  binder_->BindLabel(lb_adapter_, "lbAdapter");
  lb_adapter2_ = new QLabel(area);
  lb_adapter2_->setObjectName("lbAdapter2");
  lb_adapter2_->setProperty("coreText", true);
  binder_->BindLabel(lb_adapter2_, "lbAdapter2");
  right->addWidget(Caption("Checksum", area), 0, 0);
  right->addWidget(cb_check_type_, 0, 1);
  right->addWidget(ed_checksum_, 1, 1);
  right->addWidget(Caption("Last address", area), 2, 0);
  right->addWidget(ed_buffer_, 2, 1);
  right->addWidget(lb_adapter_, 3, 0, 1, 2);
  right->addWidget(lb_adapter2_, 4, 0, 1, 2);
  right->setRowStretch(5, 1);

  auto* board = new QHBoxLayout(area);
  board->setContentsMargins(6, 0, 6, 2);
  board->setSpacing(6);
  board->addWidget(switch_picture_, 0);
  board->addWidget(socket_picture_, 0);
  board->addStretch(1);
  board->addLayout(right, 0);
  return area;
}

// The board row and the progress panel share one place: the panel covers
// the board while an action runs, and the place keeps the height of the
// taller of the two, so nothing below it moves.
QWidget* TfrmEprom::BuildBoardSlot() {
  auto* slot = new QWidget(this);
  slot->setObjectName("pBoardSlot");
  board_row_ = BuildBoardRow();
  progress_ = new ProgressPanel(programmer_->controls, slot);
  connect(progress_, &ProgressPanel::CancelRequested, runner_, &ActionRunner::Cancel);
  connect(binder_, &ControlBinder::Rendered, progress_, &ProgressPanel::UpdatePeaks);
  connect(progress_, &ProgressPanel::VisibilityChanged, board_row_, &QWidget::setHidden);
  auto* layout = new QGridLayout(slot);
  layout->setContentsMargins(0, 0, 0, 0);
  for (QWidget* w : {board_row_, static_cast<QWidget*>(progress_)}) {
    QSizePolicy policy = w->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    w->setSizePolicy(policy);
    layout->addWidget(w, 0, 0);
  }
  return slot;
}

void TfrmEprom::BuildMessageLog() {
  log_ = new MessageLog;
  log_dock_ = new QDockWidget("Messages", this);
  log_dock_->setObjectName("dockMessages");
  log_dock_->setWidget(log_);
  addDockWidget(Qt::BottomDockWidgetArea, log_dock_);
  log_dock_->hide();
}

QWidget* TfrmEprom::BuildPages() {
  pages_ = new QTabWidget(this);
  pages_->setObjectName("PageControl1");
  pages_->setDocumentMode(true);
  buffer_page_ = new BufferPage(programmer_->image.data(), pages_);
  configs_page_ = new ConfigsPage(*programmer_, pages_);
  settings_page_ = new SettingsPage(panels_, *panel_context_, pages_);
  pages_->addTab(buffer_page_, "Buffer");
  pages_->addTab(configs_page_, "Configs");
  pages_->addTab(settings_page_, "Settings");
  connect(pages_, &QTabWidget::currentChanged, this,
          [this](int page) { PageControl1Change(page); });
  connect(buffer_page_, &BufferPage::HexGridClicked, this,
          [this](int column, int row) { HexGridClick(column, row); });
  connect(buffer_page_, &BufferPage::MoveRequested, this,
          [this](uint32_t a, uint32_t b, uint32_t size) {
            app::MoveBuffer(*programmer_, a, b, size);
            RefreshViews();
          });
  return pages_;
}

}  // namespace ui
