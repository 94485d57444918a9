#include "hw/port_open.h"

#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "hw/direct_port.h"
#include "hw/ppdev_port.h"

namespace hw {
namespace {

std::string Hex(uint16_t v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "0x%X", v);
  return buf;
}

OpenResult Fail(std::string reason) { return OpenResult{nullptr, std::move(reason)}; }

}  // namespace

OpenResult OpenPpdevDevice(const std::string& path, uint16_t base) {
  const int fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) {
    const int err = errno;
    if (err == ENOENT || err == ENXIO || err == ENODEV) {
      return Fail("no such device: " + path +
                  " (load the kernel modules: sudo modprobe parport_pc ppdev)");
    }
    if (err == EACCES || err == EPERM) {
      return Fail("permission denied on " + path +
                  ": add yourself to the lp group (sudo usermod -aG lp $USER) and log in again");
    }
    return Fail("cannot open " + path + ": " + std::strerror(err));
  }
  if (ioctl(fd, PPCLAIM) != 0) {
    const int err = errno;
    close(fd);
    if (err == EBUSY) {
      return Fail(path + " is in use by another driver (unload lp: sudo rmmod lp)");
    }
    return Fail("cannot claim " + path + ": " + std::strerror(err));
  }
  return OpenResult{std::make_unique<PpdevPort>(fd, base), {}};
}

OpenResult OpenPpdevByBase(uint16_t base, const std::string& root) {
  const auto device = FindParportDevice(base, root);
  if (!device) {
    return Fail("no such device: no /dev/parportN has base address " + Hex(base) +
                " (load the kernel modules: sudo modprobe parport_pc ppdev, or choose another "
                "port)");
  }
  return OpenPpdevDevice(*device, base);
}

OpenResult OpenDirect(uint16_t base) {
  std::string reason = RequestDirectAccess(base);
  if (!reason.empty()) return Fail(std::move(reason));
  return OpenResult{std::make_unique<DirectPort>(), {}};
}

}  // namespace hw
