// The CFI report in its window: the core builds the rows from the buffer
// the last Get ID left; the window only shows them.
#include "app/programmer.h"
#include "families/flash/cfi.h"
#include "ui/action_runner.h"
#include "ui/main_window.h"
#include "ui/side_windows.h"

namespace ui {

void TfrmEprom::btnCFIClick() {
  // The buffer belongs to the worker while an action runs.
  if (runner_->Running()) return;
  const app::Programmer& p = *programmer_;
  const auto grid = families::flash::CfiReport(p.dev.cfi, p.dev.cfi_no_primary);
  const auto text = [](const std::string& s) { return QString::fromUtf8(s.c_str()); };
  // Row 0 is the report's header; the value column has none of its own.
  cfi_->SetHeader({text(grid[0][0]).trimmed(), text(grid[0][1]).trimmed(),
                   text(grid[0][2]).trimmed(), QStringLiteral("Value")});
  std::vector<std::array<QString, 4>> rows;
  for (size_t r = 1; r < grid.size(); ++r) {
    rows.push_back({text(grid[r][0]), text(grid[r][1]), text(grid[r][2]), text(grid[r][3])});
  }
  cfi_->SetRows(rows);
  cfi_->SetTitle(text(families::flash::CfiTitle(p.controls.Text("edDeviceName"))));
  cfi_->show();
  cfi_->raise();
}

}  // namespace ui
