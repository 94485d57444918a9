#pragma once

#include <cstdint>
#include <string>

#include "hw/port_io.h"

namespace hw {

// Raw x86 port I/O (inb/outb) after ioperm or iopl. For cards that ppdev
// does not know, such as PCI cards at 0xEC00. Needs root (CAP_SYS_RAWIO) and
// a kernel without lockdown.
class DirectPort final : public PortIo {
 public:
  void PortOut(uint16_t port, uint8_t value) override;
  uint8_t PortIn(uint16_t port) override;
};

// Asks the kernel for access to base..base+2. Returns an empty string on
// success, otherwise the reason in words a user can act on.
std::string RequestDirectAccess(uint16_t base);

bool DirectIoSupported();

}  // namespace hw
