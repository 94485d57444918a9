// The guided panel gbUnprotect: the core's step machine (app/guided_panel.h)
// drawn as a group box with the device line, the jumper pictures of the
// current step, the confirmation boxes and the step button.
#include "app/guided_panel.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

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
