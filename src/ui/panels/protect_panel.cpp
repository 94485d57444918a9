// pMXICF29040: the sector status grid with its buttons. The core keeps the
// rows in the grid control's items (tab-separated cells, row 0 the header)
// and the selected row in its index; the buttons run the core's routines
// through the panel-command frame on the worker.
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/actions.h"
#include "app/programmer.h"
#include "families/flash/protect.h"
#include "ui/control_binder.h"
#include "ui/panels/family_panels.h"

namespace ui {
namespace {

namespace flash = families::flash;

void StatusRun(app::Programmer& p) { app::RunExtraAction(p, &flash::sbMXICF29SecStatusClick); }
void ProtectRun(app::Programmer& p) { app::RunExtraAction(p, &flash::sbMXICF29SecProtClick); }
void UnprotectRun(app::Programmer& p) { app::RunExtraAction(p, &flash::sbMXICF29ChipUnprtClick); }
void UnlockRun(app::Programmer& p) { app::RunExtraAction(p, &flash::sb28FBlockUnlockClick); }

void Fill(QTableWidget* grid, const app::Controls& controls) {
  const app::ControlState* state = controls.Find(flash::kSectorGrid);
  const std::vector<std::string> rows =
      state != nullptr ? state->items : std::vector<std::string>{};
  const auto cells = [](const std::string& row) { return QString::fromStdString(row).split('\t'); };
  if (!rows.empty()) grid->setHorizontalHeaderLabels(cells(rows[0]));
  const QSignalBlocker block(grid);
  grid->setRowCount(rows.empty() ? 0 : static_cast<int>(rows.size()) - 1);
  for (size_t r = 1; r < rows.size(); ++r) {
    const QStringList row = cells(rows[r]);
    for (int c = 0; c < 4; ++c) {
      grid->setItem(static_cast<int>(r) - 1, c, new QTableWidgetItem(c < row.size() ? row[c] : ""));
    }
  }
  const int selected = state != nullptr ? state->index - 1 : -1;
  if (selected >= 0 && selected < grid->rowCount()) grid->selectRow(selected);
}

}  // namespace

QWidget* ProtectPanel(PanelContext& context) {
  ControlBinder& binder = context.binder;
  app::Programmer& p = context.programmer;
  auto* box = new QGroupBox;
  box->setObjectName("pMXICF29040");
  binder.BindGroup(box, "pMXICF29040");
  auto* column = new QVBoxLayout(box);

  auto* grid = new QTableWidget(0, 4, box);
  grid->setObjectName(flash::kSectorGrid);
  grid->verticalHeader()->hide();
  grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid->setSelectionMode(QAbstractItemView::SingleSelection);
  grid->horizontalHeader()->setStretchLastSection(true);
  column->addWidget(grid, 1);
  QObject::connect(&binder, &ControlBinder::Rendered, grid, [grid, &p] { Fill(grid, p.controls); });
  QObject::connect(grid, &QTableWidget::itemSelectionChanged, grid, [grid, &p] {
    const auto rows = grid->selectionModel()->selectedRows();
    flash::SelectSector(p, rows.isEmpty() ? -1 : rows.first().row());
  });

  auto* check = new QCheckBox("disable Manuf+dev ID", box);
  check->setObjectName(flash::kNoIdCheck);
  binder.BindButton(check, flash::kNoIdCheck);
  context.hooks[flash::kNoIdCheck] = &flash::cbCHKdevIDClick;
  column->addWidget(check);

  auto* row = new QHBoxLayout;
  const struct {
    const char* name;
    const char* caption;
    void (*run)(app::Programmer&);
  } kButtons[] = {{flash::kStatusButton, "sector status", &StatusRun},
                  {flash::kProtectButton, "protect sector", &ProtectRun},
                  {flash::kUnprotectButton, "chip unprotect", &UnprotectRun},
                  {flash::kUnlockBlockButton, "unlock sector", &UnlockRun}};
  for (const auto& b : kButtons) {
    auto* button = new QPushButton(QString::fromLatin1(b.caption), box);
    button->setObjectName(b.name);
    binder.BindButton(button, b.name);
    const auto run = b.run;
    QObject::connect(button, &QPushButton::clicked, box, [&context, run] {
      if (context.run) context.run(run);
    });
    row->addWidget(button);
  }
  column->addLayout(row);
  return box;
}

}  // namespace ui
