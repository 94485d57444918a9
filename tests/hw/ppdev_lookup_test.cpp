#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "hw/port_open.h"
#include "hw/ppdev_port.h"

namespace {

namespace fs = std::filesystem;

// A fake /proc and /dev under a temporary root.
class FakeRoot : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() /
            ("daraz-ppdev-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_ / "dev");
  }
  void TearDown() override {
    fs::permissions(root_ / "dev", fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(root_);
  }
  void AddPort(int n, const std::string& base_addr) {
    const fs::path dir = root_ / "proc/sys/dev/parport" / ("parport" + std::to_string(n));
    fs::create_directories(dir);
    std::ofstream(dir / "base-addr") << base_addr;
  }
  fs::path root_;
};

TEST_F(FakeRoot, FindsTheDeviceByItsFirstBaseNumber) {
  AddPort(0, "888\t1912\n");  // 0x378 with its ECP companion
  AddPort(1, "632\t-1\n");    // 0x278
  AddPort(2, "garbage\n");
  EXPECT_EQ(hw::FindParportDevice(0x378, root_.string()), root_.string() + "/dev/parport0");
  EXPECT_EQ(hw::FindParportDevice(0x278, root_.string()), root_.string() + "/dev/parport1");
  EXPECT_FALSE(hw::FindParportDevice(0x3BC, root_.string()));
}

TEST_F(FakeRoot, OpenFailuresSayWhatToDo) {
  // No port with that base address.
  auto r = hw::OpenPpdevByBase(0xEC00, root_.string());
  EXPECT_FALSE(r);
  EXPECT_NE(r.reason.find("no such device"), std::string::npos);
  EXPECT_NE(r.reason.find("0xEC00"), std::string::npos);

  // The /proc entry exists but the device node does not.
  AddPort(0, "888 1912");
  r = hw::OpenPpdevByBase(0x378, root_.string());
  EXPECT_FALSE(r);
  EXPECT_NE(r.reason.find("no such device"), std::string::npos);
  EXPECT_NE(r.reason.find("modprobe"), std::string::npos);

  // A device node we may not open.
  if (geteuid() != 0) {
    std::ofstream(root_ / "dev/parport0") << "";
    fs::permissions(root_ / "dev/parport0", fs::perms::none);
    r = hw::OpenPpdevByBase(0x378, root_.string());
    EXPECT_NE(r.reason.find("lp group"), std::string::npos);
  }

  // A node that exists but is no parallel port cannot be claimed.
  std::ofstream(root_ / "dev/parport1") << "";
  r = hw::OpenPpdevDevice((root_ / "dev/parport1").string(), 0x378);
  EXPECT_FALSE(r);
  EXPECT_NE(r.reason.find("cannot claim"), std::string::npos);
}

}  // namespace
