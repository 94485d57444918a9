#pragma once

// The memory image as the front doors reach it: file load and save, and the
// buffer operations of the menu, each refused while an action runs and
// followed by the status refresh.

#include <cstdint>
#include <string>

#include "image/file_host.h"
#include "image/file_save.h"
#include "image/layout.h"

namespace app {

class Programmer;

// What the image operations need to know about the selected device.
image::FamilyLayout LayoutOf(const Programmer& p);

// The file code's view of the Host; a failed load or save powers the
// socket down like any other error.
class ProgrammerFileHost final : public image::FileHost {
 public:
  explicit ProgrammerFileHost(Programmer& p) : p_(p) {}
  void Message(const std::string& text, int kind) override;
  void ReportError(const std::string& text) override;
  void SetCaption(const std::string& text) override;
  void Information(const std::string& text) override;

 private:
  Programmer& p_;
};

// Loads a file by its extension. False (with the reason shown) when it
// failed or an action is running; the image is then unchanged.
bool LoadFile(Programmer& p, const std::string& path);
// Saves the image as `type`; returns the path written, empty on failure.
std::string SaveFile(Programmer& p, const std::string& path, image::SaveType type);
// The save type a file name's extension asks for (.bin .rom .hex .s19 .s28
// .s37 .s .s2 .s3 .srec .mot .eep); binary for anything else.
image::SaveType SaveTypeForPath(const std::string& path);

// Clears the image with a fill pattern the way the family needs it, resets
// the caption and the PIC configuration value. No busy check: routines use
// it too.
void ClearImage(Programmer& p, int pattern);

// The buffer operations of the menu.
bool ClearBuffer(Programmer& p, int pattern);
bool InvertBuffer(Programmer& p);
bool SwapBufferBytes(Programmer& p);
bool MoveBuffer(Programmer& p, uint32_t a, uint32_t b, uint32_t size);
bool CopyToFullChip(Programmer& p);
bool Tm377a(Programmer& p, bool encode);

}  // namespace app
