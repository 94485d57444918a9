#pragma once

// A main window on the simulated board with its own settings file, and
// scripted answers for the boxes it would show.

#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include "app/catalogue.h"
#include "app/device_lookup.h"
#include "ui/main_window.h"
#include "ui/status_line.h"

namespace daraz_test {

class WindowFixture {
 public:
  WindowFixture() { Reopen(); }

  // A fresh window over the same settings file (the last one is closed
  // first without saving again). `system_root`: the machine the parallel
  // port probe sees.
  ui::TfrmEprom& Reopen(bool simulated = true, const QString& system_root = {}) {
    window_.reset();
    settings_ = std::make_unique<QSettings>(dir_.filePath("settings.ini"), QSettings::IniFormat);
    ui::StartOptions options;
    options.settings = settings_.get();
    if (simulated) {
      app::BackendSpec sim;
      sim.kind = app::BackendSpec::Kind::kSim;
      options.backend = sim;
    }
    options.quit_on_exit = false;
    options.system_root = system_root.toStdString();
    information.clear();
    questions.clear();
    errors.clear();
    window_ = std::make_unique<ui::TfrmEprom>(options);
    window_->show();
    window_->on_information = [this](const QString& text) { information << text; };
    window_->on_error = [this](const QString& text) { errors << text; };
    window_->answer_question = [this](const QString& text) {
      questions << text;
      return answer;
    };
    return *window_;
  }

  ui::TfrmEprom& window() { return *window_; }
  QSettings& settings() { return *settings_; }
  QString Path(const QString& name) const { return dir_.filePath(name); }

  // Selects a catalogue item by name, as the Find field would.
  const app::CatalogueNode& Select(const char* name) {
    const app::DeviceLookup found = app::FindDevice(name);
    if (!found.ok()) qFatal("no device %s: %s", name, found.error.c_str());
    window_->SelectItem(*found.node);
    return *found.node;
  }

  QStringList information;
  QStringList questions;
  QStringList errors;
  bool answer = true;

 private:
  QTemporaryDir dir_;
  std::unique_ptr<QSettings> settings_;
  std::unique_ptr<ui::TfrmEprom> window_;
};

}  // namespace daraz_test
