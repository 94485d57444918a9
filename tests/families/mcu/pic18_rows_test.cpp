// Every selectable PIC18 end to end: blank, program (code, IDs, data
// EEPROM, configuration, each verified), read back, erase, blank again,
// the device ID, the board at rest and no violations.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "families/mcu/pic18_fixture.h"

namespace daraz_test {
namespace {

constexpr uint32_t KB = 1024;

// Sizes and write buffers from the device groups and the parts' datasheets;
// device IDs (DEVID2:DEVID1 without the revision bits) and names from the
// parts' programming descriptions.
struct Row {
  int tag;
  uint32_t code_bytes, eeprom;
  uint32_t write_buffer;
  uint16_t device_id;
  const char* id_name;
};

// clang-format off
const Row kRows[] = {
    {101, 16 * KB, 256, 8, 0x0480, " PIC 18F242/2439"},
    {102, 16 * KB, 256, 8, 0x0800, " PIC 18F248"},
    {103, 32 * KB, 256, 8, 0x0400, " PIC 18F252/2539"},
    {104, 32 * KB, 256, 8, 0x0840, " PIC 18F258"},
    {105, 16 * KB, 256, 8, 0x04A0, " PIC 18F442/4439"},
    {106, 16 * KB, 256, 8, 0x0820, " PIC 18F448"},
    {107, 32 * KB, 256, 8, 0x0420, " PIC 18F452/4539"},
    {108, 32 * KB, 256, 8, 0x0860, " PIC 18F458"},
    {111, 4 * KB, 256, 8, 0x07E0, " PIC 18F1220"},
    {112, 4 * KB, 256, 8, 0x0580, " PIC 18F2220"},
    {113, 4 * KB, 256, 8, 0x05A0, " PIC 18F4220"},
    {114, 8 * KB, 256, 8, 0x07C0, " PIC 18F1320"},
    {115, 8 * KB, 256, 8, 0x0500, " PIC 18F2320"},
    {116, 8 * KB, 256, 8, 0x0520, " PIC 18F4320"},
    {121, 32 * KB, 1024, 8, 0x0B20, " PIC 18F6520"},
    {122, 32 * KB, 1024, 8, 0x0B00, " PIC 18F8520"},
    {123, 64 * KB, 1024, 8, 0x0660, " PIC 18F6620"},
    {125, 128 * KB, 1024, 8, 0x0620, " PIC 18F6720"},
    {126, 128 * KB, 1024, 8, 0x0600, " PIC 18F8720"},
    {131, 12 * KB, 256, 8, 0x0480, " PIC 18F242/2439"},
    {132, 24 * KB, 256, 8, 0x0400, " PIC 18F252/2539"},
    {133, 12 * KB, 256, 8, 0x04A0, " PIC 18F442/4439"},
    {134, 24 * KB, 256, 8, 0x0420, " PIC 18F452/4539"},
    {141, 8 * KB, 256, 8, 0x08E0, " PIC 18F2331"},
    {142, 16 * KB, 256, 8, 0x08C0, " PIC 18F2431"},
    {143, 8 * KB, 256, 8, 0x08A0, " PIC 18F4331"},
    {144, 16 * KB, 256, 8, 0x0880, " PIC 18F4431"},
    {151, 48 * KB, 1024, 8, 0x0AE0, " PIC 18F6525"},
    {152, 64 * KB, 1024, 8, 0x0AA0, " PIC 18F6621"},
    {153, 48 * KB, 1024, 8, 0x0AC0, " PIC 18F8525"},
    {154, 64 * KB, 1024, 8, 0x0A80, " PIC 18F8621"},
    {161, 48 * KB, 1024, 8, 0x0A60, " PIC 18F6585"},
    {162, 48 * KB, 1024, 8, 0x0A20, " PIC 18F8585"},
    {163, 64 * KB, 1024, 8, 0x0A40, " PIC 18F6680"},
    {164, 64 * KB, 1024, 8, 0x0A00, " PIC 18F8680"},
    {171, 16 * KB, 0, 16, 0x1360, " PIC 18F6410"},
    {172, 16 * KB, 0, 16, 0x1340, " PIC 18F8410"},
    {173, 16 * KB, 0, 16, 0x1320, " PIC 18F6490"},
    {174, 16 * KB, 0, 16, 0x1300, " PIC 18F8490"},
    {181, 16 * KB, 0, 32, 0x1160, " PIC 18F2410"},
    {182, 16 * KB, 256, 32, 0x1140, " PIC 18F2420"},
    {183, 24 * KB, 256, 32, 0x1260, " PIC 18F2455"},
    {184, 16 * KB, 256, 32, 0x1AE0, " PIC 18F2480"},
    {185, 32 * KB, 0, 32, 0x1120, " PIC 18F2510"},
    {186, 48 * KB, 0, 64, 0x0CE0, " PIC 18F2515"},
    {187, 32 * KB, 256, 32, 0x1100, " PIC 18F2520"},
    {188, 48 * KB, 1024, 64, 0x0CC0, " PIC 18F2525"},
    {189, 32 * KB, 256, 32, 0x1240, " PIC 18F2550"},
    {190, 32 * KB, 256, 32, 0x1AC0, " PIC 18F2580"},
    {191, 48 * KB, 1024, 64, 0x0EE0, " PIC 18F2585"},
    {192, 64 * KB, 0, 64, 0x0CA0, " PIC 18F2610"},
    {193, 64 * KB, 1024, 64, 0x0C80, " PIC 18F2620"},
    {194, 64 * KB, 1024, 64, 0x0EC0, " PIC 18F2680"},
    {195, 16 * KB, 0, 32, 0x10E0, " PIC 18F4410"},
    {196, 16 * KB, 256, 32, 0x10C0, " PIC 18F4420"},
    {197, 24 * KB, 256, 32, 0x1220, " PIC 18F4455"},
    {198, 16 * KB, 256, 32, 0x1AA0, " PIC 18F4480"},
    {199, 32 * KB, 0, 32, 0x10A0, " PIC 18F4510"},
    {200, 48 * KB, 0, 64, 0x0C60, " PIC 18F4515"},
    {201, 32 * KB, 256, 32, 0x1080, " PIC 18F4520"},
    {202, 48 * KB, 1024, 64, 0x0C40, " PIC 18F4525"},
    {203, 32 * KB, 256, 32, 0x1200, " PIC 18F4550"},
    {204, 32 * KB, 256, 32, 0x1A80, " PIC 18F4580"},
    {205, 48 * KB, 1024, 64, 0x0EA0, " PIC 18F4585"},
    {206, 64 * KB, 0, 64, 0x0C20, " PIC 18F4610"},
    {207, 64 * KB, 1024, 64, 0x0C00, " PIC 18F4620"},
    {208, 64 * KB, 1024, 64, 0x0E80, " PIC 18F4680"},
};
// clang-format on

// The watchdog off (CONFIG2H bit 0); everything else erased.
std::vector<uint8_t> Config() {
  std::vector<uint8_t> config(14, 0xFF);
  config[3] = 0xFE;
  return config;
}

// The erase algorithm of each device group.
int GroupAlgorithm(int tag) {
  struct Group {
    int last, algorithm;
  };
  constexpr Group kGroups[] = {{108, 1}, {116, 2}, {126, 3}, {134, 7}, {144, 4},
                               {154, 9}, {164, 6}, {174, 5}, {216, 10}};
  for (const Group& g : kGroups) {
    if (tag <= g.last) return g.algorithm;
  }
  return -1;
}

// The selection's descriptor and the socket's model against the table, row
// by row, without running any routine.
TEST(Pic18Rows, SelectionAndModelCarryThePartsTable) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.tag);
    Pic18Session s;
    s.Select(row.tag);
    const app::Descriptor::Pic18& pic = s.p.dev.pic18;
    EXPECT_EQ(s.p.dev.family, 36);
    EXPECT_EQ(pic.code_words, row.code_bytes / 2);
    EXPECT_EQ(pic.eeprom_size, row.eeprom);
    EXPECT_EQ(pic.write_buffer, row.write_buffer);
    EXPECT_EQ(pic.panels, row.code_bytes / 8192);
    EXPECT_EQ(pic.erase_algorithm, GroupAlgorithm(row.tag));

    const sim::Pic18Part& part = s.chip->part();
    EXPECT_EQ(part.code_bytes, row.code_bytes);
    EXPECT_EQ(part.eeprom_bytes, row.eeprom);
    EXPECT_EQ(part.write_buffer, row.write_buffer);
    EXPECT_EQ(part.device_id & 0xFFE0, row.device_id);
  }
}

#ifdef DARAZ_SANITIZED
// Under the sanitizers a sample: the groups repeat their sequences.
constexpr size_t kRowStride = 8;
#else
constexpr size_t kRowStride = 1;
#endif

TEST(Pic18Rows, EveryRowRoundTrips) {
  for (size_t r = 0; r < std::size(kRows); r += kRowStride) {
    const Row& row = kRows[r];
    SCOPED_TRACE(row.tag);
    Pic18Session s;
    s.Select(row.tag);
    ASSERT_EQ(s.p.dev.family, 36);
    ASSERT_EQ(s.chip->part().code_bytes, row.code_bytes);
    ASSERT_EQ(s.chip->part().eeprom_bytes, row.eeprom);

    s.Blank();
    EXPECT_EQ(s.Last(), "CHK Blank Code OK (no Checksum CFG)");

    const std::vector<uint8_t> code = s.Pattern(row.code_bytes, static_cast<uint32_t>(row.tag));
    const std::vector<uint8_t> ids = {1, 2, 3, 4, 5, 6, 7, 8};
    const std::vector<uint8_t> eeprom = s.Pattern(row.eeprom, 99);
    s.Load(code, ids, Config(), eeprom);
    s.Program();
    EXPECT_EQ(s.Last(), "Programming [CODE,DevID,EEPROM,CFG] OK");
    EXPECT_EQ(s.p.error, 0);
    for (uint32_t a = 0; a < row.code_bytes; ++a) ASSERT_EQ(s.chip->Code(a), code[a]) << a;
    for (uint32_t k = 0; k < 8; ++k) EXPECT_EQ(s.chip->Id(k), k + 1);
    for (uint32_t j = 0; j < row.eeprom; ++j) ASSERT_EQ(s.chip->Eeprom(j), eeprom[j]) << j;
    EXPECT_EQ(s.chip->Config(3) & 0x01, 0);

    image::ClearBuf(s.p.image, image::kFillFF, {});
    s.Read();
    EXPECT_EQ(s.Last(), "Read Code,ID,EEPROM,CFG -- ok");
    for (uint32_t a = 0; a < row.code_bytes; ++a) ASSERT_EQ(s.p.image[a], code[a]) << a;
    for (uint32_t k = 0; k < 8; ++k) EXPECT_EQ(s.p.image[0x200000 + k], k + 1);
    for (uint32_t j = 0; j < row.eeprom; ++j) ASSERT_EQ(s.p.image[0xF00000 + j], eeprom[j]) << j;
    EXPECT_EQ(s.p.image[0x300003] & 0x01, 0);
    s.Verify();
    EXPECT_EQ(s.Last(), "Verify Code,ID,EEPROM,CFG -- ok");

    s.Erase();
    EXPECT_EQ(s.Last(), "Device PIC18 is erased");
    s.Blank();
    EXPECT_EQ(s.Last(), "CHK Blank Code OK (no Checksum CFG)");
    EXPECT_EQ(s.chip->Id(0), 0xFF);
    if (row.eeprom != 0) {
      EXPECT_EQ(s.chip->Eeprom(0), 0xFF);
    }

    s.GetId();
    ASSERT_EQ(s.host.Informations().size(), 1u);
    EXPECT_NE(s.host.Informations()[0].find(row.id_name), std::string::npos)
        << s.host.Informations()[0];

    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
    EXPECT_TRUE(s.Violations().empty()) << ::testing::PrintToString(s.Violations());
  }
}

}  // namespace
}  // namespace daraz_test
