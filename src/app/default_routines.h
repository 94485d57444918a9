#pragma once

// The read, verify and blank check that families without routines of their
// own use, the buffer-offset question, and the loop helpers every family's
// read, program and verify passes share.

#include <cstdint>

#include "app/programmer.h"
#include "image/memory_image.h"

namespace app {

void DefaultRead(Programmer& p);
void DefaultVerify(Programmer& p);
void DefaultBlankCheck(Programmer& p);

// The buffer-offset question, asked by read and verify routines when the
// buffer offset is not 0: "Use offset of 0x%0.6X". No puts the offset back
// to 0 (and edOffset to "0000"); Yes shortens the device size for this
// action when the data would run past the device. An offset at or beyond the
// device size is refused with a message before anything is asked, because
// the shortened size would wrap around. Returns false when the routine must
// not go on (the error flag is then set).
bool ConfirmOffset(Programmer& p);

// --- shared by every family's passes -------------------------------------------

// The image indices a program or verify pass visits: 0 to `last` inclusive,
// where `last` is data end clipped to device size - 1 (and to the image).
// When the data is shorter than the device the pass goes one byte past it;
// users' files and habits rely on that. The clip is made on this copy: the
// user's data end stays as loaded, so a later action on a larger device
// still sees all of it.
struct DataSpan {
  uint32_t last = 0;
  bool empty = true;  // no device selected: nothing to visit
  uint64_t count() const { return empty ? 0 : uint64_t{last} + 1; }
};
DataSpan ClipDataEnd(const image::MemoryImage& image);

// How a loop over a span ended.
enum class LoopEnd { kDone, kStopped, kCancelled };

// Runs `body(i)` for every index of `span` in order, with the progress tick
// after each. Ends early with kStopped when `body` returns false, with
// kCancelled when Cancel was pressed (seen at a gauge refresh).
template <typename Body>
LoopEnd ForEachDataIndex(Programmer& p, DataSpan span, Body&& body) {
  for (uint64_t n = 0; n < span.count(); ++n) {
    const auto i = static_cast<uint32_t>(n);
    if (!body(i)) return LoopEnd::kStopped;
    if (p.ProgressTick(i)) return LoopEnd::kCancelled;
  }
  return LoopEnd::kDone;
}

// The chip address of image index i: buffer offset + i, rearranged when the
// device's scramble flag is set.
inline uint32_t ChipAddress(const Programmer& p, uint32_t index) {
  const uint32_t address = p.image.buffer_offset + index;
  return p.dev.scramble ? hw::Bus::ScrambleAddress(address) : address;
}

// Control bit 3 as the device wants it during reads: 0 with the read level
// flag, 1 without; written at once.
void ApplyReadLevel(Programmer& p);

// Read strobe widths in 100 ns: large devices get the short strobe. The read
// and verify passes draw the line one byte apart.
inline int32_t ReadStrobeWidth(uint32_t device_size) { return device_size > 0x10000 ? 1 : 5; }
inline int32_t VerifyStrobeWidth(uint32_t device_size) { return device_size >= 0x10000 ? 1 : 5; }

}  // namespace app
