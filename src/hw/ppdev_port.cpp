#include "hw/ppdev_port.h"

#include <fcntl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace hw {

PpdevPort::PpdevPort(int fd, uint16_t base) : fd_(fd), base_(base) {}

PpdevPort::~PpdevPort() {
  if (fd_ >= 0) {
    ioctl(fd_, PPRELEASE);
    close(fd_);
  }
}

void PpdevPort::PortOut(uint16_t port, uint8_t value) {
  unsigned char v = value;
  switch (port - base_) {
    case 0:
      ioctl(fd_, PPWDATA, &v);
      break;
    case 2:
      ioctl(fd_, PPWCONTROL, &v);
      break;
    default:
      break;  // the status register cannot be written
  }
}

uint8_t PpdevPort::PortIn(uint16_t port) {
  unsigned char v = 0xFF;
  switch (port - base_) {
    case 0:
      ioctl(fd_, PPRDATA, &v);
      break;
    case 1:
      ioctl(fd_, PPRSTATUS, &v);
      break;
    case 2:
      ioctl(fd_, PPRCONTROL, &v);
      break;
    default:
      break;
  }
  return v;
}

std::optional<std::string> FindParportDevice(uint16_t base, const std::string& root) {
  namespace fs = std::filesystem;
  const fs::path dir = root + "/proc/sys/dev/parport";
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(dir, ec)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("parport", 0) != 0) continue;
    std::ifstream in(entry.path() / "base-addr");
    unsigned long first = 0;
    if (!(in >> first)) continue;
    if (first == base) return root + "/dev/" + name;
  }
  return std::nullopt;
}

bool MachineHasParallelPort(const std::string& root) {
  namespace fs = std::filesystem;
  for (const char* folder : {"/dev", "/proc/sys/dev/parport"}) {
    std::error_code ec;
    for (fs::directory_iterator it(root + folder, ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
      if (it->path().filename().string().rfind("parport", 0) == 0) return true;
    }
  }
  return false;
}

}  // namespace hw
