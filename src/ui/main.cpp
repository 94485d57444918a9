// The desktop program: one main window over one board session.
#include <QApplication>
#include <QCommandLineParser>
#include <QMessageBox>
#include <cstdio>
#include <exception>

#include "ui/icons.h"
#include "ui/main_window.h"

namespace {

constexpr char kApplicationTitle[] = "Tavrin Daraz ";

// An exception that escapes an event handler is shown, and the program
// ends, rather than leaving a window in an unknown state.
class Application final : public QApplication {
 public:
  using QApplication::QApplication;
  bool notify(QObject* receiver, QEvent* event) override {
    try {
      return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
      QMessageBox::critical(nullptr, kApplicationTitle, QString::fromLocal8Bit(e.what()));
    } catch (...) {
      QMessageBox::critical(nullptr, kApplicationTitle, "Unknown error");
    }
    exit(1);
    return false;
  }
};

}  // namespace

int main(int argc, char** argv) {
  Application app(argc, argv);
  // The title goes on the message boxes. It is not made the display name:
  // the window system would append that to every window caption.
  QApplication::setApplicationName("daraz-gui");
  QApplication::setDesktopFileName("daraz-gui");
  QApplication::setWindowIcon(ui::GlyphIcon(ui::Glyph::kApp));

  QCommandLineParser parser;
  parser.setApplicationDescription("The desktop device programmer.");
  parser.addHelpOption();
  const QCommandLineOption port(
      {"p", "port"},
      "The board's port for this run: lpt1..lpt4, or sim for the simulated board (nothing is "
      "written to a real chip). Without it, the port chosen last time.",
      "PORT");
  parser.addOption(port);
  parser.process(app);
  ui::StartOptions options;
  if (parser.isSet(port)) {
    app::BackendSpec backend;
    const std::string text = parser.value(port).toStdString();
    if (!app::ParseBackendSpec(text, backend) || (backend.kind != app::BackendSpec::Kind::kSim &&
                                                  backend.kind != app::BackendSpec::Kind::kLpt)) {
      std::fprintf(stderr, "daraz-gui: unknown port \"%s\" (use lpt1..lpt4 or sim)\n",
                   text.c_str());
      return 2;
    }
    options.backend = backend;
  }

  try {
    ui::TfrmEprom window(options);
    window.show();
    return app.exec();
  } catch (const std::exception& e) {
    QMessageBox::critical(nullptr, kApplicationTitle, QString::fromLocal8Bit(e.what()));
    return 1;
  }
}
