#pragma once

// The status refresh that ends every action and every device selection.

#include <cstdint>
#include <string>

namespace app {

class Programmer;

// What the status area shows after a refresh; the GUI paints it from the
// controls, the command line prints it.
struct StatusSummary {
  uint32_t device_size = 0;  // the full device size, restored
  std::string checksum;      // as in edChecksum
  std::string last_address;  // as in edBuffer: " 0x%X" of device size - 1
};

// Puts the device size back to the full size (a read or verify may have
// shortened it for a buffer offset), hides the progress panel, shows the
// checksum and the last address, enables the tool bar and redraws the
// switch pictures and the family's settings panels.
StatusSummary winstat(Programmer& p);

}  // namespace app
