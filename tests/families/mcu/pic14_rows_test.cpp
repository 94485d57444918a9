// Every selectable 14-bit flash PIC end to end: blank, program, erase,
// program again, read back, device ID, the board at rest and only the
// violations the row's own sequence earns.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "families/mcu/pic_fixture.h"

namespace daraz_test {
namespace {

// Sizes from the device rows; names from the device-ID table of the parts'
// datasheets (the model of a shared Tag is its first part).
struct Row {
  int tag;
  uint32_t words, eeprom;
  const char* id_name;
  std::vector<std::string> violations;
};

// 16F627A/628A/648A know neither 1 nor 7: the protected-part sequence that
// follows their bulk erases is ignored by the chip (and does no harm: the
// 8 between them rewrites the erased configuration word with 0x3FFF).
const std::vector<std::string> kNo17 = {"unknown command 0x01", "unknown command 0x07"};

const Row kRows[] = {
    {301, 1024, 64, "Unknown device", {}},  {302, 512, 64, "Unknown device", {}},
    {303, 512, 64, "Unknown device", {}},   {304, 1024, 64, "Unknown device", {}},
    {305, 1024, 64, "Unknown device", {}},  {306, 1024, 64, "PIC 16F84A", {}},
    {401, 1024, 128, "PIC 16F627", {}},     {402, 2048, 128, "PIC 16F628", {}},
    {403, 1024, 128, "PIC 16F627A", kNo17}, {404, 2048, 128, "PIC 16F628A", kNo17},
    {405, 4096, 256, "PIC 16F648A", kNo17}, {411, 1024, 128, "PIC 16F818", {}},
    {412, 2048, 256, "PIC 16F819", {}},     {421, 1024, 128, "PIC 12F635", {}},
    {422, 2048, 256, "PIC 16F636", {}},     {423, 2048, 256, "PIC 12F683", {}},
    {424, 2048, 256, "PIC 16F684", {}},     {425, 4096, 256, "PIC 16F688", {}},
    {426, 2048, 256, "PIC 16F785", {}},     {430, 2048, 0, "PIC 16F72", {}},
    {431, 4096, 0, "PIC 16F73", {}},        {432, 4096, 0, "PIC 16F74", {}},
    {433, 8192, 0, "PIC 16F76", {}},        {434, 8192, 0, "PIC 16F77", {}},
    {441, 4096, 0, "PIC 16F737", {}},       {442, 4096, 0, "PIC 16F747", {}},
    {443, 8192, 0, "PIC 16F767", {}},       {444, 8192, 0, "PIC 16F777", {}},
    {451, 4096, 256, "PIC 16F87", {}},      {453, 2048, 0, "PIC 16F716", {}},
    {461, 4096, 256, "PIC 16F913", {}},     {462, 4096, 256, "PIC 16F914", {}},
    {463, 8192, 256, "PIC 16F916", {}},     {464, 8192, 256, "PIC 16F917", {}},
    {465, 8192, 256, "PIC 16F946", {}},     {501, 2048, 64, "PIC 16F870", {}},
    {502, 4096, 128, "PIC 16F873", {}},     {503, 8192, 256, "PIC 16F876", {}},
    {512, 4096, 128, "PIC 16F873A", {}},    {513, 8192, 256, "PIC 16F876A", {}},
    {601, 1024, 128, "PIC 12F629", {}},     {610, 1024, 128, "PIC 16F630", {}},
};

// Oscillator bits and the watchdog cleared: no row's code protection.
constexpr uint16_t kConfig = 0x3FF9;
// What the 12F629-class models hold from the factory.
constexpr uint16_t kFactoryOsccal = 0x3458;
constexpr uint16_t kFactoryBandGap = 0x2000;

#ifdef DARAZ_SANITIZED
// Under the sanitizers every third row: the sequences repeat across rows.
constexpr size_t kRowStride = 3;
#else
constexpr size_t kRowStride = 1;
#endif

TEST(Pic14Rows, EveryFlashRowRoundTrips) {
  for (size_t r = 0; r < std::size(kRows); r += kRowStride) {
    const Row& row = kRows[r];
    SCOPED_TRACE(row.tag);
    PicSession s;
    s.Select(row.tag);
    ASSERT_EQ(s.p.dev.family, 17);
    ASSERT_EQ(s.chip->part().program_words, row.words);
    ASSERT_EQ(s.chip->part().eeprom_bytes, row.eeprom);
    const bool osccal = s.p.dev.pic16.algorithm == 14;
    const uint16_t mask = s.p.dev.pic16.config_mask;

    s.Blank();
    EXPECT_EQ(s.Last(), "Device Blank");

    std::vector<uint8_t> data(row.eeprom);
    for (uint32_t j = 0; j < row.eeprom; ++j) data[j] = static_cast<uint8_t>(j * 3 + 1);
    const std::vector<uint16_t> words = s.Pattern(row.words, static_cast<uint32_t>(row.tag));
    s.Load(words, data, kConfig);
    // The file's OSCCAL differs from the chip's: "No" keeps the chip's.
    if (osccal) s.host.answers = {false, false};
    s.Program();
    EXPECT_TRUE(s.host.HasMessage("Device Verified OK")) << s.Last();
    EXPECT_EQ(s.p.error, 0);
    EXPECT_EQ(s.host.Questions().size(), osccal ? 1u : 0u);
    EXPECT_EQ(s.chip->Config(0x2007) & mask, kConfig & mask);
    for (uint32_t k = 0; k < 4; ++k) EXPECT_EQ(s.chip->Config(0x2000 + k), k + 1);
    // A data byte that reads back right at once is not written again.
    EXPECT_EQ(s.chip->data_cycles(), row.eeprom);

    s.Erase();
    s.Blank();
    EXPECT_EQ(s.Last(), "Device Blank");

    s.Load(words, data, kConfig);
    s.Program();
    EXPECT_EQ(s.p.error, 0);
    image::ClearBuf(s.p.image, image::kFillFF, {});
    s.Read();
    EXPECT_EQ(s.Last(), "PIC dumped OK");
    for (uint32_t i = 0; i < row.words; ++i) {
      const uint16_t expected = osccal && i == 0x3FF ? kFactoryOsccal : words[i];
      ASSERT_EQ(s.p.image.Word(i), expected) << i;
    }
    for (uint32_t j = 0; j < row.eeprom; ++j) ASSERT_EQ(s.p.image.Word(0x2100 + j), data[j]) << j;
    for (uint32_t k = 0; k < 4; ++k) EXPECT_EQ(s.p.image.Word(0x2000 + k), k + 1);
    EXPECT_EQ(s.p.image.Word(0x2007) & mask, kConfig & mask);
    if (osccal) {
      EXPECT_EQ(s.p.image.Word(0x2007) & 0x3000, kFactoryBandGap);
    }

    s.GetId();
    ASSERT_EQ(s.host.Informations().size(), 1u);
    EXPECT_NE(s.host.Informations()[0].find(row.id_name), std::string::npos)
        << s.host.Informations()[0];

    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
    EXPECT_EQ(s.Violations(), row.violations);
  }
}

// 12F629: "Yes" writes the file's OSCCAL; an erase keeps what the chip holds
// and its band gap, and leaves everything else erased.
TEST(Pic14Osccal, YesTakesTheFilesValueAndEraseKeepsTheChips) {
  PicSession s;
  s.Select(601);
  std::vector<uint16_t> words = s.Pattern(1024, 5);
  words[0x3FF] = 0x3470;
  s.Load(words, {}, kConfig);
  s.host.answers = {true};
  s.Program();
  EXPECT_TRUE(s.host.HasMessage("Device Verified OK")) << s.Last();
  EXPECT_EQ(s.host.Questions(),
            std::vector<std::string>{
                "OSCCAL = 0x3458 \n Do you want use value from file ( 0x3470 ) instead ?"});
  EXPECT_EQ(s.chip->Program(0x3FF), 0x3470);
  EXPECT_EQ(s.chip->Config(0x2007), (kConfig & 0x01FF) | 0x0E00 | kFactoryBandGap);

  s.Erase();
  EXPECT_EQ(s.chip->Program(0), 0x3FFF);
  EXPECT_EQ(s.chip->Program(0x3FE), 0x3FFF);
  EXPECT_EQ(s.chip->Program(0x3FF), 0x3470);
  EXPECT_EQ(s.chip->Config(0x2007), 0x2FFF);
  EXPECT_EQ(s.chip->Config(0x2000), 0x3FFF);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  EXPECT_TRUE(s.Violations().empty()) << ::testing::PrintToString(s.Violations());
}

}  // namespace
}  // namespace daraz_test
