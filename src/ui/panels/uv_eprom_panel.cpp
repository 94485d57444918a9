#include "app/programmer.h"
#include "families/parallel/uv_eprom.h"
#include "ui/panels/family_panels.h"

namespace ui {
namespace {

// The track bars share one handler, told apart by their Tags.
void tbTWCMoved(app::Programmer& p) {
  families::uv_eprom::tbTWCChange(p, 1, p.controls.Index("tbTWC"));
}
void tbTWPMoved(app::Programmer& p) {
  families::uv_eprom::tbTWCChange(p, 2, p.controls.Index("tbTWP"));
}

}  // namespace

PanelDef UvEpromPanel() {
  PanelDef def;
  def.name = "p27CSettings";
  def.title = "EPROM";
  def.controls = {
      panel::TrackBar("tbTWC", "tWC", 1, 100, &tbTWCMoved),
      panel::TrackBar("tbTWP", "tWP", 1, 100, &tbTWPMoved),
      panel::Label("lbLoopPeak", "Loop Peak"),
      panel::Field("pLoopp", "Attempts"),
      panel::Field("pTwpp", "Pulse peak"),
      panel::Field("pTwcp", "Wait peak"),
  };
  return def;
}

}  // namespace ui
