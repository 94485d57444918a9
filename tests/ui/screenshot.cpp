// Renders the main window as a user sees it after choosing a device and
// loading a file, and saves it as a PNG: `daraz-gui-screenshot OUT.png`.
// Run it under a real X server (xvfb-run) so fonts and style are the
// desktop's.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "app/device_lookup.h"
#include "ui/icons.h"
#include "ui/main_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setWindowIcon(ui::GlyphIcon(ui::Glyph::kApp));
  if (argc < 2) {
    std::fprintf(stderr, "usage: daraz-gui-screenshot OUT.png [DEVICE [PAGE]]\n");
    return 2;
  }
  const QString device = argc > 2 ? argv[2] : "27C256";
  QTemporaryDir dir;
  QSettings settings(dir.filePath("settings.ini"), QSettings::IniFormat);
  ui::StartOptions options;
  options.settings = &settings;
  app::BackendSpec sim;
  sim.kind = app::BackendSpec::Kind::kSim;
  options.backend = sim;
  options.quit_on_exit = false;

  // A small firmware image: a text header, then code-like bytes.
  QByteArray firmware(0x8000, '\xFF');
  const QByteArray header = "DARAZ DEMO ROM  v1.0  (C) 1994  BOOT LOADER  ";
  firmware.replace(0, header.size(), header);
  for (int i = 0x40; i < 0x6000; ++i) firmware[i] = static_cast<char>((i * 37 + (i >> 5)) & 0xFF);
  const QString path = dir.filePath("demo.bin");
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(firmware) != firmware.size()) return 1;
  file.close();

  ui::TfrmEprom window(options);
  window.on_information = [](const QString&) {};
  const app::DeviceLookup found = app::FindDevice(device.toStdString());
  if (!found.ok()) {
    std::fprintf(stderr, "%s\n", found.error.c_str());
    return 2;
  }
  window.SelectItem(*found.node);
  window.LoadFile(path);
  if (argc > 3) window.PageControl1()->setCurrentIndex(QString(argv[3]).toInt());
  window.show();
  QTimer::singleShot(400, [&] {
    const bool saved = window.grab().save(argv[1]);
    window.mnuExitClick();
    app.exit(saved ? 0 : 1);
  });
  return app.exec();
}
