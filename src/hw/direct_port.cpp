#include "hw/direct_port.h"

#include <cerrno>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define DARAZ_HAVE_DIRECT_IO 1
#else
#define DARAZ_HAVE_DIRECT_IO 0
#endif

namespace hw {

bool DirectIoSupported() { return DARAZ_HAVE_DIRECT_IO != 0; }

#if DARAZ_HAVE_DIRECT_IO

void DirectPort::PortOut(uint16_t port, uint8_t value) { outb(value, port); }
uint8_t DirectPort::PortIn(uint16_t port) { return inb(port); }

std::string RequestDirectAccess(uint16_t base) {
  // ioperm covers the first 0x400 ports only; above that the whole I/O
  // space has to be opened with iopl.
  const int rc = (base + 2 < 0x400) ? ioperm(base, 3, 1) : iopl(3);
  if (rc == 0) return {};
  const int err = errno;
  if (err == EPERM) {
    return "direct port I/O refused: run as root (or with CAP_SYS_RAWIO); with kernel "
           "lockdown or Secure Boot it is not allowed at all - use ppdev (/dev/parportN) instead";
  }
  return std::string("direct port I/O refused: ") + std::strerror(err);
}

#else

void DirectPort::PortOut(uint16_t, uint8_t) {}
uint8_t DirectPort::PortIn(uint16_t) { return 0xFF; }

std::string RequestDirectAccess(uint16_t) {
  return "direct port I/O is only available on x86 PCs - use ppdev (/dev/parportN) instead";
}

#endif

}  // namespace hw
