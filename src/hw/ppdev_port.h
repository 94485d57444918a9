#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "hw/port_io.h"

namespace hw {

// Linux ppdev: the kernel's user-space parallel port access. Needs no root,
// only membership in the group that owns /dev/parportN (usually "lp").
class PpdevPort final : public PortIo {
 public:
  // Takes ownership of an fd that has been opened and claimed.
  PpdevPort(int fd, uint16_t base);
  ~PpdevPort() override;
  PpdevPort(const PpdevPort&) = delete;
  PpdevPort& operator=(const PpdevPort&) = delete;

  void PortOut(uint16_t port, uint8_t value) override;
  uint8_t PortIn(uint16_t port) override;

 private:
  int fd_;
  uint16_t base_;
};

// Finds /dev/parportN whose base address (first number of
// /proc/sys/dev/parport/parportN/base-addr) equals `base`. `root` prefixes
// both paths so that tests can lay out a fake system.
std::optional<std::string> FindParportDevice(uint16_t base, const std::string& root = "");

// Whether the machine has any parallel port the kernel knows: a
// /dev/parport* node or an entry under /proc/sys/dev/parport. `root` as
// above.
bool MachineHasParallelPort(const std::string& root = "");

}  // namespace hw
