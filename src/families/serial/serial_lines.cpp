#include "families/serial/serial_lines.h"

#include <string>

#include "app/host.h"

namespace families::serial {

void ShowReadDone(app::Programmer& p, const char* text) {
  p.Message(text, hw::kInfo);
  p.host.SetCaption(std::string(app::kCaptionPrefix) + p.controls.Text("edDevice") + " Image");
}

}  // namespace families::serial
