// Loading files for a selected device, as both front doors do: the
// family's clear under the file, and data outside the device reported.
#include "app/image_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/device_lookup.h"
#include "app/programmer.h"
#include "app/selection.h"
#include "image/layout.h"
#include "support/recording_host.h"

namespace {

class ImageFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string templ = (std::filesystem::temp_directory_path() / "daraz-files-XXXXXX").string();
    dir_ = ::mkdtemp(templ.data());
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  void Select(const char* name) {
    const app::DeviceLookup found = app::FindDevice(name);
    ASSERT_TRUE(found.ok()) << found.error;
    app::SelectDevice(p, found.node->handler,
                      app::SelectItem{found.node->tag, std::string(found.node->caption)});
    host.events.clear();
  }
  std::string Write(const std::string& name, const std::string& content) {
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }

  std::filesystem::path dir_;
  daraz_test::RecordingHost host;
  app::Programmer p{host};
};

// A PIC16F84A loaded from a file with its program words only: the data
// EEPROM reads 0x00 as after the menu's clear, not an erased program word.
TEST_F(ImageFiles, PicLoadUsesTheFamilysClear) {
  Select("PIC 16F84A  (P 5mS)");
  // Dirty the EEPROM area first, as an earlier read would.
  p.image.SetWord(image::kPicEepromWord, 0x00AB);
  const std::string file = Write("p.hex", ":02000000FF3FC0\n:00000001FF\n");
  ASSERT_TRUE(app::LoadFile(p, file));
  EXPECT_EQ(p.image.Word(0), 0x3FFF);
  EXPECT_EQ(p.image.Word(1), 0x3FFF);
  for (uint32_t k = 0; k < 64; ++k) {
    ASSERT_EQ(p.image.Word(image::kPicEepromWord + k), 0x0000) << k;
  }
  EXPECT_EQ(p.dev.pic16.config_word, 0x3FFF);
  EXPECT_TRUE(host.Informations().empty());
}

// A 6502 image at 0xE000 for a 27C64: every byte is outside, and the user
// is told how many and where before anything is programmed.
TEST_F(ImageFiles, DataOutsideTheDeviceIsAWarning) {
  Select("2764");
  const std::string file = Write("rom.hex", ":02E000001122EB\n:02FFFE00AABB9C\n");
  const image::LoadResult r = app::LoadFile(p, file, {});
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.outside.count, 4u);
  ASSERT_EQ(host.Informations().size(), 1u);
  EXPECT_EQ(host.Informations()[0],
            "4 bytes of rom.hex, from 0x00E000 to 0x00FFFF, lie outside the 2764 (0x000000 to "
            "0x001FFF) and will not be programmed");

  // Moved to where the chip starts, nothing is outside.
  host.events.clear();
  image::LoadOptions moved;
  moved.file_offset = -0xE000;
  EXPECT_TRUE(app::LoadFile(p, file, moved).outside.empty());
  EXPECT_EQ(p.image[0], 0x11);
  EXPECT_EQ(p.image[0x1FFF], 0xBB);
  EXPECT_TRUE(host.Informations().empty());
}

}  // namespace
