#include "ui/board_test_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/programmer.h"
#include "sim/board.h"
#include "ui/action_runner.h"

namespace ui {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

void PinPicture::paintEvent(QPaintEvent*) {
  if (pins_ <= 0) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const int per_side = pins_ / 2;
  const qreal pitch = std::min<qreal>(18.0, (height() - 20.0) / per_side);
  const qreal body_w = 60, top = 10, left = (width() - body_w) / 2;
  painter.setBrush(QColor(40, 40, 40));
  painter.drawRect(QRectF(left, top, body_w, pitch * per_side));
  painter.setBrush(Qt::NoBrush);
  painter.drawArc(QRectF(left + body_w / 2 - 8, top - 8, 16, 16), 180 * 16, 180 * 16);
  for (int pin = 1; pin <= pins_; ++pin) {
    const bool right = pin > per_side;
    const int row = right ? pins_ - pin : pin - 1;
    const qreal y = top + row * pitch + pitch / 2;
    const QRectF box(right ? left + body_w : left - 14, y - 4, 14, 8);
    const bool marked = pin == marked_;
    painter.setBrush(marked ? QColor(230, 120, 0) : QColor(180, 180, 180));
    painter.setPen(Qt::black);
    painter.drawRect(box);
    const QString label = QString::number(pin) + (marked ? "  " + level_ : QString());
    const QRectF text(right ? box.right() + 4 : 0, y - 8,
                      right ? width() - box.right() - 4 : box.left() - 4, 16);
    painter.setPen(marked ? QColor(200, 90, 0) : palette().color(QPalette::WindowText));
    painter.drawText(text, (right ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter, label);
  }
}

BoardTestWindow::BoardTestWindow(app::Programmer& programmer, ActionRunner& runner, QWidget* parent)
    : QDialog(parent), p_(programmer), runner_(runner) {
  setObjectName("frmBoardTest");
  setWindowTitle("Board test");
  map_ = app::SelectedPinMap(p_);
  if (sim::Board* board = p_.board()) kept_ = board->RemoveChip();
  steps_ = app::GuidedBoardSteps(map_);

  auto* layout = new QVBoxLayout(this);
  auto* run_auto = new QPushButton("Run the automatic part (socket empty)");
  run_auto->setObjectName("btnBoardAuto");
  findings_ = new QLabel("Take every chip out of the socket first.");
  findings_->setObjectName("lbBoardFindings");
  findings_->setWordWrap(true);
  layout->addWidget(run_auto);
  layout->addWidget(findings_);

  auto* row = new QHBoxLayout;
  list_ = new QListWidget;
  list_->setObjectName("lbBoardSteps");
  for (const app::BoardStep& step : steps_) list_->addItem(Q(step.title));
  picture_ = new PinPicture;
  picture_->setObjectName("imgBoardPins");
  picture_->SetPackage(static_cast<int>(map_.pins.empty() ? 0 : std::stoi(map_.package.substr(3))));
  row->addWidget(list_, 1);
  row->addWidget(picture_, 1);
  layout->addLayout(row);

  expect_ = new QLabel(map_.empty() ? "The guided part knows no pin map for this device's package."
                                    : "Package " + Q(map_.package) + ".");
  expect_->setObjectName("lbBoardExpect");
  expect_->setWordWrap(true);
  layout->addWidget(expect_);
  auto* buttons = new QHBoxLayout;
  start_ = new QPushButton("Drive this line");
  start_->setObjectName("btnBoardDrive");
  pass_ = new QPushButton("Pass");
  pass_->setObjectName("btnBoardPass");
  fail_ = new QPushButton("Fail");
  fail_->setObjectName("btnBoardFail");
  skip_ = new QPushButton("Skip");
  skip_->setObjectName("btnBoardSkip");
  for (QPushButton* b : {start_, pass_, fail_, skip_}) buttons->addWidget(b);
  layout->addLayout(buttons);

  connect(run_auto, &QPushButton::clicked, this, [this] { RunAutomatic(); });
  connect(start_, &QPushButton::clicked, this, [this] { StartStep(); });
  connect(pass_, &QPushButton::clicked, this, [this] { Answer(app::StepAnswer::kPass); });
  connect(fail_, &QPushButton::clicked, this, [this] { Answer(app::StepAnswer::kFail); });
  connect(skip_, &QPushButton::clicked, this, [this] { Answer(app::StepAnswer::kSkip); });
  ShowStep();
}

BoardTestWindow::~BoardTestWindow() {
  EndStep();
  if (kept_) p_.board()->InsertChip(std::move(kept_));
}

bool BoardTestWindow::simulated() const {
  return const_cast<app::Programmer&>(p_).board() != nullptr;
}

void BoardTestWindow::RunAutomatic() {
  EndStep();
  app::AutoBoardResult result;
  runner_.RunAndWait([&result](app::Programmer& p) { result = app::RunAutoBoardTest(p); });
  QString text;
  for (const std::string& f : result.findings) text += "\u2022 " + Q(f) + "\n";
  if (text.isEmpty()) text = "Loop-back and data bits 0, 3, 4, 5, 6, 7: nothing found.\n";
  text += "Data bits 1 and 2 load and clock the read register: the steps below check them.";
  findings_->setText(text);
}

void BoardTestWindow::ShowStep() {
  const size_t at = answers_.size();
  const bool open = at < steps_.size();
  list_->setCurrentRow(open ? static_cast<int>(at) : -1);
  start_->setEnabled(open && !driven_);
  for (QPushButton* b : {pass_, fail_, skip_}) b->setEnabled(open && (driven_ || b == skip_));
  if (!open) {
    picture_->SetMarked(0, {});
    if (!steps_.empty()) expect_->setText(summary());
    return;
  }
  const app::BoardStep& step = steps_[at];
  picture_->SetMarked(step.pin.pin, step.level ? "high" : "low");
  expect_->setText(Q(step.title) + ": " + Q(step.expect) +
                   (driven_ ? QString() : QString("\nPress \"Drive this line\".")));
}

void BoardTestWindow::StartStep() {
  const size_t at = answers_.size();
  if (at >= steps_.size() || driven_) return;
  const app::BoardStep& step = steps_[at];
  if (step.needs_empty_socket() &&
      QMessageBox::question(this, "Board test", "Vpp comes on next. Is the socket empty?") !=
          QMessageBox::Yes) {
    Answer(app::StepAnswer::kSkip);
    return;
  }
  runner_.RunAndWait([&step](app::Programmer& p) { app::DriveBoardStep(p, step); });
  driven_ = true;
  if (simulated()) {
    // The simulated board answers for the builder.
    Answer(app::SimulatedAnswer(*p_.board(), map_, step));
    return;
  }
  ShowStep();
}

void BoardTestWindow::EndStep() {
  if (!driven_) return;
  runner_.RunAndWait([](app::Programmer& p) { app::EndBoardStep(p); });
  driven_ = false;
}

void BoardTestWindow::Answer(app::StepAnswer answer) {
  const size_t at = answers_.size();
  if (at >= steps_.size()) return;
  EndStep();
  answers_.push_back(answer);
  list_->item(static_cast<int>(at))
      ->setText(Q(steps_[at].title) + " \u2014 " + app::AnswerName(answer));
  if (answer == app::StepAnswer::kFail) list_->item(static_cast<int>(at))->setForeground(Qt::red);
  ShowStep();
}

QString BoardTestWindow::summary() const {
  int passed = 0, failed = 0, skipped = 0;
  QString causes;
  for (size_t i = 0; i < answers_.size(); ++i) {
    switch (answers_[i]) {
      case app::StepAnswer::kPass:
        ++passed;
        break;
      case app::StepAnswer::kSkip:
        ++skipped;
        break;
      case app::StepAnswer::kFail:
        ++failed;
        causes += "\n\u2022 " + Q(steps_[i].title) + ": " + Q(app::LikelyCause(steps_[i]));
        break;
    }
  }
  return QString("%1 passed, %2 failed, %3 skipped").arg(passed).arg(failed).arg(skipped) + causes;
}

void BoardTestWindow::reject() {
  EndStep();  // Esc or Close: the board goes back to rest first
  QDialog::reject();
}

}  // namespace ui
