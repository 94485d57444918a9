#pragma once

#include <QDialog>
#include <memory>
#include <vector>

#include "app/board_test.h"
#include "sim/chip.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace ui {

class ActionRunner;

// The package of the selected device with the pin of the current step
// marked and its level written beside it.
class PinPicture : public QWidget {
 public:
  explicit PinPicture(QWidget* parent = nullptr) : QWidget(parent) {}
  void SetPackage(int pins) { pins_ = pins, update(); }
  void SetMarked(int pin, const QString& level) { marked_ = pin, level_ = level, update(); }
  QSize sizeHint() const override { return {220, 320}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int pins_ = 0;
  int marked_ = 0;
  QString level_;
};

// "Board test": the automatic part, then one step per line of the selected
// device's socket, answered pass, fail or skip (on the simulated board the
// board answers). Each step drives its line on the worker and returns the
// board to rest before the next; closing the window (Esc) does too.
class BoardTestWindow : public QDialog {
 public:
  BoardTestWindow(app::Programmer& programmer, ActionRunner& runner, QWidget* parent = nullptr);
  ~BoardTestWindow() override;

  // For tests and the buttons.
  void RunAutomatic();
  void StartStep();  // drives the current step (asks first for Vpp)
  void Answer(app::StepAnswer answer);
  const std::vector<app::StepAnswer>& answers() const { return answers_; }
  const std::vector<app::BoardStep>& steps() const { return steps_; }
  QString summary() const;

 protected:
  void reject() override;

 private:
  void ShowStep();
  void EndStep();
  bool simulated() const;

  app::Programmer& p_;
  ActionRunner& runner_;
  sim::PinMap map_;
  std::vector<app::BoardStep> steps_;
  std::vector<app::StepAnswer> answers_;
  bool driven_ = false;
  std::unique_ptr<sim::Chip> kept_;  // the simulated socket is empty during the test
  QLabel* findings_;
  QListWidget* list_;
  PinPicture* picture_;
  QLabel* expect_;
  QPushButton* start_;
  QPushButton* pass_;
  QPushButton* fail_;
  QPushButton* skip_;
};

}  // namespace ui
