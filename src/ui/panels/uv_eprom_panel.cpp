// The EPROM settings panel. The two track bars override the device's
// program pulse (tWP) and wait (tWC); beside each, the timing in use in
// ticks and microseconds, in a warning colour while it is not the device's
// own, and a button that goes back to the device's values.
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <algorithm>
#include <vector>

#include "app/programmer.h"
#include "families/parallel/uv_eprom.h"
#include "ui/control_binder.h"
#include "ui/panels/family_panels.h"
#include "ui/timing_text.h"

namespace ui {
namespace {

// The bars' range, as the track-bar handler clamps it.
constexpr int kBarMin = 1;
constexpr int kBarMax = 100;

// The track bars share one handler, told apart by their Tags.
void tbTWCMoved(app::Programmer& p) {
  families::uv_eprom::tbTWCChange(p, 1, p.controls.Index("tbTWC"));
}
void tbTWPMoved(app::Programmer& p) {
  families::uv_eprom::tbTWCChange(p, 2, p.controls.Index("tbTWP"));
}

struct TimingBar {
  const char* name;     // the track bar's control name
  const char* caption;  // shown left of it
  const char* meaning;  // for the tooltip
  int app::Descriptor::*in_use;
  int app::Descriptor::*own;
  void (*moved)(app::Programmer&);
};

const TimingBar kTimingBars[] = {
    {"tbTWC", "tWC", "Wait after each program pulse (tWC)", &app::Descriptor::twc,
     &app::Descriptor::device_twc, &tbTWCMoved},
    {"tbTWP", "tWP", "Program pulse width (tWP)", &app::Descriptor::twp,
     &app::Descriptor::device_twp, &tbTWPMoved},
};

// A timing bar row: the slider, and the value in use beside it. Owned by
// the panel.
class TimingRow : public QObject {
 public:
  TimingRow(const TimingBar& bar, PanelContext& context, QGroupBox* box, QGridLayout* grid, int row)
      : QObject(box), bar_(bar), context_(context) {
    auto* caption = new QLabel(bar.caption, box);
    slider_ = new QSlider(Qt::Horizontal, box);
    slider_->setObjectName(bar.name);
    slider_->setRange(kBarMin, kBarMax);
    value_ = new QLabel(box);
    value_->setObjectName(QString(bar.name) + "Value");
    value_->setMinimumWidth(
        value_->fontMetrics().horizontalAdvance(TimingText(25000) + " (device 25000)"));
    caption->setBuddy(slider_);
    grid->addWidget(caption, row, 0);
    grid->addWidget(slider_, row, 1);
    grid->addWidget(value_, row, 2);
    // The user's move becomes the bar's position and runs the handler,
    // which sets the timing; programmatic moves show the timing in use.
    connect(slider_, &QSlider::valueChanged, this, [this](int position) {
      app::Programmer& p = context_.programmer;
      p.controls[bar_.name].index = position;
      bar_.moved(p);
    });
  }

  bool Overridden() const {
    const app::Descriptor& d = context_.programmer.dev;
    return d.*bar_.in_use != d.*bar_.own;
  }

  // Shows the timing in use: the bar as near to it as its range reaches,
  // the exact value beside it.
  void Refresh(const QColor& normal) {
    const app::Descriptor& d = context_.programmer.dev;
    const int in_use = d.*bar_.in_use;
    const int own = d.*bar_.own;
    {
      const QSignalBlocker block(slider_);
      slider_->setValue(std::clamp(in_use, kBarMin, kBarMax));
    }
    QString text = TimingText(in_use);
    if (in_use != own) text += QStringLiteral(" (device %1)").arg(own);
    value_->setText(text);
    QPalette palette = value_->palette();
    palette.setColor(QPalette::WindowText, in_use != own ? TimingWarningColour() : normal);
    value_->setPalette(palette);
    QFont font = value_->font();
    font.setBold(in_use != own);
    value_->setFont(font);
    const QString tip = QStringLiteral(
                            "%1 in use. The bar sets %2 to %3 ticks of %4 \u00b5s; the "
                            "device's own value is %5.")
                            .arg(bar_.meaning)
                            .arg(kBarMin)
                            .arg(kBarMax)
                            .arg(kTickMicroseconds)
                            .arg(TimingText(own));
    slider_->setToolTip(tip);
    value_->setToolTip(tip);
  }

 private:
  const TimingBar& bar_;
  PanelContext& context_;
  QSlider* slider_;
  QLabel* value_;
};

QLineEdit* PeakField(ControlBinder& binder, QWidget* parent, const char* name) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(name);
  field->setReadOnly(true);
  field->setMaximumWidth(field->fontMetrics().horizontalAdvance(QString(16, '0')));
  binder.BindField(field, name);
  return field;
}

}  // namespace

QWidget* UvEpromPanel(PanelContext& context) {
  auto* box = new QGroupBox("EPROM");
  box->setObjectName("p27CSettings");
  auto* grid = new QGridLayout(box);
  grid->setColumnStretch(1, 1);

  std::vector<TimingRow*> rows;
  int row = 0;
  for (const TimingBar& bar : kTimingBars)
    rows.push_back(new TimingRow(bar, context, box, grid, row++));
  auto* restore = new QPushButton("&Restore device timing", box);
  restore->setObjectName("btnDeviceTiming");
  restore->setToolTip("Set tWP and tWC back to the selected device's own values");
  grid->addWidget(restore, row++, 1, 1, 2, Qt::AlignLeft);
  app::Programmer& p = context.programmer;
  QObject::connect(restore, &QPushButton::clicked, box,
                   [&p] { families::uv_eprom::RestoreDeviceTiming(p); });

  // The peaks of the last program run, as the progress area showed them.
  auto* loop_caption = new QLabel("Loop Peak", box);
  loop_caption->setObjectName("lbLoopPeak");
  context.binder.BindLabel(loop_caption, "lbLoopPeak");
  grid->addWidget(loop_caption, row, 0);
  grid->addWidget(PeakField(context.binder, box, "pLoopp"), row++, 1, 1, 2);
  grid->addWidget(new QLabel("Pulse peak", box), row, 0);
  grid->addWidget(PeakField(context.binder, box, "pTwpp"), row++, 1, 1, 2);
  grid->addWidget(new QLabel("Wait peak", box), row, 0);
  grid->addWidget(PeakField(context.binder, box, "pTwcp"), row++, 1, 1, 2);

  const QColor normal = box->palette().color(QPalette::WindowText);
  QObject::connect(&context.binder, &ControlBinder::Rendered, box, [rows, restore, normal] {
    bool overridden = false;
    for (TimingRow* r : rows) {
      r->Refresh(normal);
      overridden = overridden || r->Overridden();
    }
    restore->setEnabled(overridden);
  });
  return box;
}

}  // namespace ui
