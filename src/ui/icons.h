#pragma once

#include <QIcon>

namespace ui {

// The tool-bar glyphs, painted as vectors at whatever size and pixel ratio
// the screen asks for.
enum class Glyph { kOpen, kSave, kClear, kRead, kProgram, kVerify, kBlank, kErase, kGetId, kApp };

QIcon GlyphIcon(Glyph glyph);

}  // namespace ui
