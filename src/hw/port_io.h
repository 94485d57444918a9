#pragma once

#include <cstdint>
#include <string>

namespace hw {

// The two entry points every access to the board goes through. Each call
// takes effect on the port before it returns, in call order.
class PortIo {
 public:
  virtual ~PortIo() = default;
  virtual void PortOut(uint16_t port, uint8_t value) = 0;
  virtual uint8_t PortIn(uint16_t port) = 0;
};

// Stands in when no backend could be opened, so that nothing ever reaches a
// port. Reads float high, as an unconnected port does.
class UnavailablePort final : public PortIo {
 public:
  void PortOut(uint16_t, uint8_t) override {}
  uint8_t PortIn(uint16_t) override { return 0xFF; }
};

}  // namespace hw
