// The desktop program: one main window over one board session.
#include <QApplication>
#include <QMessageBox>
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
  try {
    ui::TfrmEprom window;
    window.show();
    return app.exec();
  } catch (const std::exception& e) {
    QMessageBox::critical(nullptr, kApplicationTitle, QString::fromLocal8Bit(e.what()));
    return 1;
  }
}
