// Command-line front door. For now it runs the board's hardware test.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "hw/bus.h"
#include "hw/clock.h"
#include "hw/port_open.h"
#include "sim/board.h"

namespace {

class PrintReporter : public hw::Reporter {
 public:
  void Message(const std::string& text, int kind) override {
    std::fprintf(kind == hw::kError ? stderr : stdout, "%s\n", text.c_str());
  }
};

int Usage() {
  std::fprintf(stderr, "usage: daraz [-p lpt1..lpt4|/dev/parportN|direct:0xNNNN|sim] test\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string port = "lpt1";
  std::string command;
  for (int i = 1; i < argc; ++i) {
    if ((!std::strcmp(argv[i], "-p") || !std::strcmp(argv[i], "--port")) && i + 1 < argc) {
      port = argv[++i];
    } else if (command.empty()) {
      command = argv[i];
    } else {
      return Usage();
    }
  }
  if (command != "test") return Usage();

  PrintReporter reporter;
  sim::Board board;
  hw::RealClock real_clock;
  hw::OpenResult opened;
  hw::Clock* clock = &real_clock;
  uint16_t base = 0x378;
  if (port == "sim") {
    clock = &board.clock();
  } else if (port.rfind("lpt", 0) == 0 && port.size() == 4 && port[3] >= '1' && port[3] <= '4') {
    base = hw::kPortChoices[port[3] - '1'].base;
    opened = hw::OpenPpdevByBase(base);
  } else if (port.rfind("/dev/", 0) == 0) {
    opened = hw::OpenPpdevDevice(port, base);
  } else if (port.rfind("direct:", 0) == 0) {
    base = static_cast<uint16_t>(std::strtoul(port.c_str() + 7, nullptr, 16));
    opened = hw::OpenDirect(base);
  } else {
    return Usage();
  }
  hw::Bus bus(*clock, reporter);
  bus.SetBase(base);
  if (port == "sim") {
    bus.SetPort(&board);
  } else if (opened) {
    bus.SetPort(opened.port.get());
  } else {
    std::fprintf(stderr, "daraz: %s\n", opened.reason.c_str());
    return 3;
  }
  return bus.CheckHardware() == 0 ? 0 : 1;
}
