#include "sim/chip_file.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A model with cells and two state sections: four protection bytes and one
// lock byte; it refuses a section of another length.
class TestChip final : public sim::Chip {
 public:
  explicit TestChip(size_t cells) : cells_(cells, 0xFF) {}
  void Update(const sim::Pins&) override {}
  std::optional<uint8_t> DataOut(const sim::Pins&) override { return std::nullopt; }
  std::string_view ModelName() const override { return "test"; }
  std::vector<uint8_t> Contents() const override { return cells_; }
  void SetContents(const std::vector<uint8_t>& bytes) override {
    cells_.assign(cells_.size(), 0xFF);
    std::copy_n(bytes.begin(), std::min(bytes.size(), cells_.size()), cells_.begin());
  }
  std::vector<sim::StateSection> State() const override {
    return {{"protection", protection}, {"lock", {lock}}};
  }
  bool SetState(const sim::StateSection& s) override {
    if (s.name == "protection" && s.bytes.size() == 4) {
      protection = s.bytes;
      return true;
    }
    if (s.name == "lock" && s.bytes.size() == 1) {
      lock = s.bytes[0];
      return true;
    }
    return false;
  }

  std::vector<uint8_t> cells_;
  std::vector<uint8_t> protection = {0, 0, 0, 0};
  uint8_t lock = 0;
};

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

// The file of a 4-cell chip holding 01 02 03 04, protection 0A 0B 0C 0D,
// lock 5A, written out by hand.
const std::string kFile = std::string("daraz-sim-chip 1\nmodel test\ndevice 27X4\n") +
                          "section cells 4\n\x01\x02\x03\x04" +
                          "section protection 4\n\x0A\x0B\x0C\x0D" + "section lock 1\nZ" + "end\n";

TEST(ChipFile, WritesTheLayoutAndReadsItBack) {
  TestChip chip(4);
  chip.cells_ = {1, 2, 3, 4};
  chip.protection = {0x0A, 0x0B, 0x0C, 0x0D};
  chip.lock = 'Z';
  EXPECT_EQ(sim::EncodeChipFile(chip, "27X4"), Bytes(kFile));

  TestChip back(4);
  EXPECT_EQ(sim::DecodeChipFile(Bytes(kFile), back, "27X4"), "");
  EXPECT_EQ(back.cells_, (std::vector<uint8_t>{1, 2, 3, 4}));
  EXPECT_EQ(back.protection, (std::vector<uint8_t>{0x0A, 0x0B, 0x0C, 0x0D}));
  EXPECT_EQ(back.lock, 'Z');
  // A file that names no device goes into any socket of its model.
  TestChip any(4);
  EXPECT_EQ(sim::DecodeChipFile(Bytes(kFile), any, ""), "");
}

TEST(ChipFile, LongerCellsAndNoDeviceRoundTrip) {
  TestChip chip(300);
  for (size_t i = 0; i < 300; ++i) chip.cells_[i] = static_cast<uint8_t>(i * 7);
  const std::vector<uint8_t> file = sim::EncodeChipFile(chip, "");
  const std::string text(file.begin(), file.end());
  EXPECT_NE(text.find("\ndevice \nsection cells 300\n"), std::string::npos);
  TestChip back(300);
  EXPECT_EQ(sim::DecodeChipFile(file, back, "27X4"), "");
  EXPECT_EQ(back.cells_, chip.cells_);
}

TEST(ChipFile, AFileWithoutTheHeaderIsCells) {
  TestChip chip(4);
  chip.lock = 7;
  EXPECT_EQ(sim::DecodeChipFile({0x11, 0x22}, chip, "27X4"), "");
  EXPECT_EQ(chip.cells_, (std::vector<uint8_t>{0x11, 0x22, 0xFF, 0xFF}));
  EXPECT_EQ(chip.lock, 7);  // the state is not in such a file
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return text.replace(at, from.size(), to);
}

TEST(ChipFile, DamageIsAnErrorAndLeavesTheChipAsItWas) {
  const struct {
    const char* what;
    std::string file;
    const char* error;  // part of the error text
  } kCases[] = {
      {"newer version", Replace(kFile, "chip 1\n", "chip 2\n"), "version \"2\""},
      {"damaged first line", Replace(kFile, "chip 1\n", "chip\n"), "first line"},
      {"no model line", Replace(kFile, "model test\n", ""), "model line"},
      {"another model", Replace(kFile, "model test", "model eprom"), "eprom model"},
      {"another device", Replace(kFile, "device 27X4", "device 27Y8"), "holds a 27Y8"},
      {"no device line", Replace(kFile, "device 27X4\n", ""), "device line"},
      {"unknown section", Replace(kFile, "section lock 1\nZ", "section fuses 1\nZ"),
       "unknown section fuses"},
      {"unknown section of every name character",
       Replace(kFile, "section lock 1\nZ", "section Az_09-x 1\nZ"), "unknown section Az_09-x"},
      {"a section name with a blank", Replace(kFile, "section lock 1\nZ", "section a b 1\nZ"),
       "damaged section line"},
      {"cells not first", Replace(kFile, "section cells 4\n\x01\x02\x03\x04", ""),
       "cells must come first"},
      {"fewer cells than the chip",
       Replace(kFile, "cells 4\n\x01\x02\x03\x04", "cells 3\n\x01\x02\x03"), "holds 3 cells"},
      {"section twice", Replace(kFile, "section lock 1\nZ", "section lock 1\nZsection lock 1\nZ"),
       "appears twice"},
      {"length not a number", Replace(kFile, "lock 1\n", "lock x\n"), "damaged section line"},
      {"negative length", Replace(kFile, "lock 1\n", "lock -1\n"), "damaged section line"},
      {"huge length", Replace(kFile, "lock 1\n", "lock 99999999999\n"), "truncated"},
      {"no length", Replace(kFile, "lock 1\n", "lock\n"), "damaged section line"},
      {"stray line", Replace(kFile, "end\n", "extra\nend\n"), "damaged line"},
      {"no end line", Replace(kFile, "end\n", ""), "truncated"},
      {"data after the end", kFile + "x", "after the end"},
      {"no cells at all", "daraz-sim-chip 1\nmodel test\ndevice 27X4\nend\n", "no cells"},
      {"a section the model refuses", Replace(kFile, "lock 1\nZ", "lock 2\nZZ"),
       "refuses its section lock"},
  };
  for (const auto& c : kCases) {
    TestChip chip(4);
    chip.cells_ = {9, 9, 9, 9};
    chip.protection = {1, 1, 1, 1};
    chip.lock = 3;
    const std::string error = sim::DecodeChipFile(Bytes(c.file), chip, "27X4");
    EXPECT_NE(error.find(c.error), std::string::npos) << c.what << ": " << error;
    EXPECT_EQ(chip.cells_, (std::vector<uint8_t>{9, 9, 9, 9})) << c.what;
    EXPECT_EQ(chip.protection, (std::vector<uint8_t>{1, 1, 1, 1})) << c.what;
    EXPECT_EQ(chip.lock, 3) << c.what;
  }
}

TEST(ChipFile, EveryTruncationIsRefused) {
  const std::vector<uint8_t> whole = Bytes(kFile);
  for (size_t n = sim::kChipFileMagic.size(); n < whole.size(); ++n) {
    TestChip chip(4);
    const std::vector<uint8_t> part(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
    EXPECT_NE(sim::DecodeChipFile(part, chip, "27X4"), "") << n << " bytes";
    EXPECT_EQ(chip.cells_, std::vector<uint8_t>(4, 0xFF)) << n << " bytes";
  }
}

}  // namespace
