// The guided panel gbUnprotect: the core's step machine (app/guided_panel.h)
// drawn as a group box with the device line, the jumper pictures of the
// current step and the wires it asks for, the confirmation boxes and the
// step button.
#include "app/guided_panel.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QStringList>
#include <vector>

#include "app/programmer.h"
#include "ui/control_binder.h"
#include "ui/panels/family_panels.h"

namespace ui {
namespace {

void ConfirmChanged(app::Programmer& p) { app::GuidedConfirmChanged(p); }

// Jumper picture n: a three-pin header seen from above, the cap on pins
// 1-2 for odd pictures (the normal position) and on pins 2-3 for even ones
// (moved for the operation), with its number.
QPixmap JumperPicture(int n) {
  QPixmap pixmap(72, 48);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(Qt::black, 1));
  painter.setBrush(QColor(0, 96, 0));
  painter.drawRoundedRect(QRectF(4, 12, 64, 20), 3, 3);  // the board
  painter.setBrush(QColor(200, 170, 60));
  for (int pin = 0; pin < 3; ++pin) painter.drawRect(QRectF(14 + pin * 20, 18, 8, 8));
  painter.setBrush(QColor(30, 30, 30, 200));
  const int first = n % 2 == 1 ? 0 : 1;
  painter.drawRoundedRect(QRectF(10 + first * 20, 14, 36, 16), 2, 2);  // the cap
  painter.setPen(Qt::black);
  painter.drawText(QRectF(0, 34, 72, 14), Qt::AlignCenter, QStringLiteral("JP %1").arg(n));
  return pixmap;
}

// The hand-fitted wires a step may ask for, drawn on the 32-pin socket:
// the board's Vpp line to pins, or two pins shorted. Pins of the JEDEC
// 32-pin flash outline.
struct Wire {
  const char* name;
  std::vector<int> to_vpp;  // pins taken to 12 V
  int short_a, short_b;     // pins shorted together, 0 for none
  const char* text;
};

constexpr int kCe = 22, kOe = 24, kA9 = 26;

const std::vector<Wire>& Wires() {
  static const std::vector<Wire> wires = {
      {"a9-oe-12v", {kA9, kOe}, 0, 0, "12 V to A9 (pin 26) and OE# (pin 24)"},
      {"a9-oe-ce-12v",
       {kA9, kOe},
       kOe,
       kCe,
       "12 V to A9 (pin 26) and OE# (pin 24), OE# shorted to CE# (pin 22)"},
      {"oe-ce-short", {}, kOe, kCe, "OE# (pin 24) shorted to CE# (pin 22)"},
  };
  return wires;
}

const Wire* FindWire(const std::string& name) {
  for (const Wire& w : Wires()) {
    if (name == w.name) return &w;
  }
  return nullptr;
}

// The right-hand row of a DIP32 seen from above (pins 17..32, pin 32 at the
// top), the Vpp terminal beside it, and the step's wires in red.
QPixmap WiringPicture(const std::vector<const Wire*>& wires) {
  constexpr int kTop = 8, kStep = 12;
  const auto pin_y = [](int pin) { return kTop + (32 - pin) * kStep + kStep / 2; };
  QPixmap pixmap(200, kTop * 2 + 16 * kStep);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(Qt::black, 1));
  painter.setBrush(QColor(40, 40, 40));
  painter.drawRect(QRectF(10, kTop, 40, 16 * kStep));  // the package
  QFont font = painter.font();
  font.setPixelSize(9);
  painter.setFont(font);
  const struct {
    int pin;
    const char* label;
  } kPins[] = {{kCe, "CE#"}, {kOe, "OE#"}, {kA9, "A9"}};
  for (int pin = 17; pin <= 32; ++pin) {
    painter.setBrush(QColor(200, 200, 200));
    painter.drawRect(QRectF(50, pin_y(pin) - 2, 8, 4));
  }
  for (const auto& p : kPins) {
    painter.drawText(QRectF(60, pin_y(p.pin) - 6, 40, 12), Qt::AlignLeft | Qt::AlignVCenter,
                     QString::fromLatin1(p.label));
  }
  painter.drawText(QRectF(150, kTop, 50, 12), Qt::AlignLeft, QStringLiteral("Vpp 12 V"));
  painter.setPen(QPen(QColor(200, 0, 0), 2));
  for (const Wire* w : wires) {
    for (const int pin : w->to_vpp) {
      painter.drawLine(QPointF(58, pin_y(pin)), QPointF(140, pin_y(pin)));
      painter.drawLine(QPointF(140, pin_y(pin)), QPointF(140, kTop + 6));
      painter.drawLine(QPointF(140, kTop + 6), QPointF(148, kTop + 6));
    }
    if (w->short_a != 0) {
      painter.drawLine(QPointF(58, pin_y(w->short_a)), QPointF(100, pin_y(w->short_a)));
      painter.drawLine(QPointF(100, pin_y(w->short_a)), QPointF(100, pin_y(w->short_b)));
      painter.drawLine(QPointF(100, pin_y(w->short_b)), QPointF(58, pin_y(w->short_b)));
    }
  }
  return pixmap;
}

// Redraws the wiring picture for the current step, hidden when the step
// asks for no wire.
void ShowWiring(QLabel* label, const app::Programmer& p) {
  const app::GuidedProcedure* procedure = app::OpenGuided(p);
  const int index = procedure != nullptr ? app::GuidedStepIndex(p) : -1;
  std::vector<const Wire*> wires;
  QStringList texts;
  if (index >= 0 && index < static_cast<int>(procedure->steps.size())) {
    for (const std::string& name : procedure->steps[static_cast<size_t>(index)].wiring) {
      if (const Wire* w = FindWire(name)) {
        wires.push_back(w);
        texts << QString::fromLatin1(w->text);
      }
    }
  }
  label->setVisible(!wires.empty());
  if (wires.empty()) return;
  label->setPixmap(WiringPicture(wires));
  label->setToolTip(texts.join("; "));
}

}  // namespace

QWidget* GuidedPanel(PanelContext& context) {
  ControlBinder& binder = context.binder;
  auto* box = new QGroupBox;
  box->setObjectName(app::kGuidedPanel);
  binder.BindGroup(box, app::kGuidedPanel);
  auto* grid = new QGridLayout(box);

  auto* device = new QLabel(box);
  device->setObjectName("pDevID");
  binder.BindLabel(device, "pDevID");
  grid->addWidget(device, 0, 0, 1, 3);

  auto* pictures = new QWidget(box);
  auto* row = new QHBoxLayout(pictures);
  row->setContentsMargins(0, 0, 0, 0);
  for (int n = 1; n <= app::kGuidedPictures; ++n) {
    auto* picture = new QLabel(pictures);
    const std::string name = app::JumperPicture(n);
    picture->setObjectName(QString::fromStdString(name));
    picture->setPixmap(JumperPicture(n));
    binder.BindWidget(picture, name, false);
    row->addWidget(picture);
  }
  // The wires fitted by hand for this step, drawn on the socket.
  auto* wiring = new QLabel(pictures);
  wiring->setObjectName("imgWiring");
  wiring->hide();
  row->addWidget(wiring);
  app::Programmer& p = context.programmer;
  QObject::connect(&binder, &ControlBinder::Rendered, wiring,
                   [wiring, &p] { ShowWiring(wiring, p); });
  row->addStretch();
  grid->addWidget(pictures, 1, 0, 1, 3);

  const struct {
    const char* name;
    const char* caption;
  } kBoxes[] = {{"cbJP23", "2/3 PIN"},
                {"cbJP42", "4/2PIN"},
                {"cbDIPSW", "DIP SW setting"},
                {"cbOECE", "Short pin OE<->CE"}};
  int column = 0;
  for (const auto& b : kBoxes) {
    auto* check = new QCheckBox(QString::fromLatin1(b.caption), box);
    check->setObjectName(b.name);
    binder.BindButton(check, b.name);
    context.hooks[b.name] = &ConfirmChanged;
    grid->addWidget(check, 2 + column / 3, column % 3);
    ++column;
  }

  const struct {
    const char* name;
    const char* caption;
    void (*run)(app::Programmer&);
  } kButtons[] = {{app::kGuidedButton, "Step", &app::btnID_UNClick},
                  {"btResetStep", "Reset Step", &app::btResetStepClick},
                  {"btskipStep", "Skip Step", &app::btskipStepClick}};
  column = 0;
  for (const auto& b : kButtons) {
    auto* button = new QPushButton(QString::fromLatin1(b.caption), box);
    button->setObjectName(b.name);
    binder.BindButton(button, b.name);
    const auto run = b.run;
    QObject::connect(button, &QPushButton::clicked, box, [&context, run] {
      if (run != nullptr && context.run) context.run(run);
    });
    grid->addWidget(button, 4, column++);
  }
  return box;
}

}  // namespace ui
