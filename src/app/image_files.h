#pragma once

// The memory image as the front doors reach it: file load and save, and the
// buffer operations of the menu, each refused while an action runs and
// followed by the status refresh.

#include <cstdint>
#include <string>

#include "image/file_host.h"
#include "image/file_load.h"
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

// Loads a file in the format the options, its extension or its content
// give, moved by the options' file offset. Not ok (with the reason shown)
// when it failed or an action is running; the image is then unchanged.
// Data the file holds outside the selected device is shown as a warning
// (OutsideWarning) and returned in `outside`.
image::LoadResult LoadFile(Programmer& p, const std::string& path,
                           const image::LoadOptions& options);
inline bool LoadFile(Programmer& p, const std::string& path) { return LoadFile(p, path, {}).ok; }

// "4096 bytes of fw.hex, from 0x00E000 to 0x00FFFF, lie outside the 27C64
// (0x000000 to 0x001FFF) and will not be programmed".
std::string OutsideWarning(const Programmer& p, const std::string& file,
                           const image::Extent& outside);

// Saves the image as `type`; returns the path written, empty on failure.
// The type's extension is added to a name with another one.
std::string SaveFile(Programmer& p, const std::string& path, image::SaveType type);
// The name SaveFile writes for `path` (the path with the type's extension).
std::string SavePathFor(const Programmer& p, const std::string& path, image::SaveType type);
// Saves under exactly the name asked for ("-" is standard output); the
// status tells a refused save (nothing to write) from a failed one.
image::SaveResult SaveFileAs(Programmer& p, const std::string& path, image::SaveType type);
// Why saving as `type` would be refused, empty when it would not.
std::string SaveRefusal(const Programmer& p, image::SaveType type);
// The save type a file name's extension asks for (the extensions of
// image::FormatForPath, .rom as the ROM type); binary for anything else.
image::SaveType SaveTypeForPath(const std::string& path);
// The save type that writes `format`.
image::SaveType SaveTypeFor(image::FileFormat format);

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
