#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "hw/ppdev_port.h"

namespace {

namespace fs = std::filesystem;

TEST(ParallelPortProbe, SeesADeviceNodeOrAKernelEntry) {
  const fs::path root = fs::temp_directory_path() / "daraz-parport-probe";
  const struct {
    const char* what;
    const char* file;  // made under the root, "" for none
    bool found;
  } kCases[] = {
      {"nothing at all", "", false},
      {"a printer node only", "dev/lp0", false},
      {"a device node", "dev/parport0", true},
      {"a kernel entry", "proc/sys/dev/parport/parport1/base-addr", true},
      {"the kernel's settings folder only", "proc/sys/dev/parport/default/timeslice", false},
  };
  for (const auto& c : kCases) {
    fs::remove_all(root);
    fs::create_directories(root / "dev");
    if (*c.file != '\0') {
      fs::create_directories((root / c.file).parent_path());
      std::ofstream(root / c.file) << "888\n";
    }
    EXPECT_EQ(hw::MachineHasParallelPort(root.string()), c.found) << c.what;
  }
  fs::remove_all(root);
  EXPECT_FALSE(hw::MachineHasParallelPort((root / "missing").string()));
}

}  // namespace
