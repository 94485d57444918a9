#pragma once

// The frame of the wide program routines and what their Get IDs share.

#include <cstdint>

#include "app/default_routines.h"
#include "families/flash/wide/wide_bus.h"

namespace families::flash::wide {

// The data end kept for after the run, the words to visit, "programming
// chip" on the gauge. The buffer offset does not apply to the word families.
struct WideRun {
  bool go = false;
  uint32_t kept_data_end = 0;
  uint32_t words = 0;
};
WideRun BeginWideProgram(app::Programmer& p);

// Runs `body(k, word)` for every image word of the run, skipping 0xFFFF
// words while Skip Write 0xFF is checked (a word with one 0xFF byte is
// programmed), with the progress tick after each. False when `body`
// returned false or Cancel was pressed ("program interrupted!").
template <typename Body>
bool ForEachWord(app::Programmer& p, const WideRun& run, Body&& body) {
  for (uint32_t k = 0; k < run.words; ++k) {
    const Word want = ImageWord(p, k);
    if (!(want.value() == 0xFFFF && Skip(p, 0xFF)) && !body(k, want)) return false;
    if (p.ProgressTick(2 * k)) {
      p.ShowProgress(1, 0, 0);
      return false;
    }
  }
  return true;
}

// After the socket is powered down: the word verify and "Device Programmed
// OK" when the loop went through without an error, then the data end as it
// was.
void FinishWideProgram(app::Programmer& p, const WideRun& run, bool ok);

// The 112 CFI entries from words 0x10 .. 0x7F (low | high << 8), the query
// mode already entered.
void ReadWideCfi(app::Programmer& p, int32_t high_wait);

// LookupChipId16 with the CFI buffer and the protection (lock) byte read at
// word 2, then the fast-mode box set from the flag the lookup leaves.
void IdentifyWide(app::Programmer& p, uint16_t manufacturer, uint16_t device, uint8_t lock);

}  // namespace families::flash::wide
