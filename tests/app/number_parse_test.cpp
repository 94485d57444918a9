#include "app/number_parse.h"

#include <gtest/gtest.h>

namespace {

TEST(NumberParse, HexOrDecimalAndNothingElse) {
  const struct {
    const char* text;
    bool ok;
    uint64_t value;
  } kCases[] = {
      {"0", true, 0},
      {"42", true, 42},
      {"010", true, 10},  // decimal, not octal
      {"0x1F", true, 31},
      {"0XfF", true, 255},
      {"18446744073709551615", true, 0xFFFFFFFFFFFFFFFF},
      {"18446744073709551616", false, 0},
      {"0x10000000000000000", false, 0},
      {"", false, 0},
      {"0x", false, 0},
      {"-1", false, 0},
      {"+1", false, 0},
      {" 1", false, 0},
      {"1 ", false, 0},
      {"12a", false, 0},
      {"0x1G", false, 0},
      {"1e3", false, 0},
  };
  for (const auto& c : kCases) {
    uint64_t v = 7;
    EXPECT_EQ(app::ParseNumber(c.text, v), c.ok) << c.text;
    EXPECT_EQ(v, c.ok ? c.value : 7) << c.text;
  }
}

TEST(NumberParse, RangeErrorsNameTheValueAndTheRange) {
  int64_t v = 5;
  EXPECT_EQ(app::ParseNumberInRange("0x64", "twc", 1, 100, v), "");
  EXPECT_EQ(v, 100);
  EXPECT_EQ(app::ParseNumberInRange("101", "twc", 1, 100, v),
            "twc must be a number from 1 to 100 (0x.. or decimal), not \"101\"");
  EXPECT_EQ(app::ParseNumberInRange("-3", "ADDR", 0, 0xFFFFFF, v),
            "ADDR must be a number from 0 to 0xFFFFFF (0x.. or decimal), not \"-3\"");
  EXPECT_EQ(app::ParseNumberInRange("0", "PULSES", 1, 1000, v),
            "PULSES must be a number from 1 to 1000 (0x.. or decimal), not \"0\"");
  EXPECT_EQ(v, 100);  // left alone by the failures
  EXPECT_EQ(app::NumberText(0xFFFF), "65535");
  EXPECT_EQ(app::NumberText(0x10000), "0x10000");
}

}  // namespace

namespace {

// --file-offset and the GUI's file offset: a sign on either side of 0.
TEST(NumberParse, SignedNumbers) {
  const struct {
    const char* text;
    bool ok;
    int64_t value;
  } kCases[] = {
      {"-0xE000", true, -0xE000},
      {"+16", true, 16},
      {"-8", true, -8},
      {"0", true, 0},
      {"-0", true, 0},
      {"0xFFFFFF", true, 0xFFFFFF},
      {"-0xFFFFFF", true, -0xFFFFFF},
      {"0x1000000", false, 0},
      {"-16777216", false, 0},
      {"--1", false, 0},
      {"-", false, 0},
      {"- 1", false, 0},
      {"-0x", false, 0},
      {"1-", false, 0},
      {"-99999999999999999999", false, 0},
  };
  for (const auto& c : kCases) {
    int64_t v = 7;
    const std::string error =
        app::ParseSignedNumberInRange(c.text, "--file-offset", -0xFFFFFF, 0xFFFFFF, v);
    EXPECT_EQ(error.empty(), c.ok) << c.text << ": " << error;
    EXPECT_EQ(v, c.ok ? c.value : 7) << c.text;
  }
  int64_t v = 0;
  EXPECT_EQ(app::ParseSignedNumberInRange("70000", "OFF", -0x10000, 0x10000, v),
            "OFF must be a number from -0x10000 to 0x10000 (0x.. or decimal, with - below 0), "
            "not \"70000\"");
}

// --offset: hexadecimal with or without 0x, never wrapped.
TEST(NumberParse, HexFields) {
  const struct {
    const char* text;
    bool ok;
    int64_t value;
  } kCases[] = {
      {"100", true, 0x100},
      {"0x1A2", true, 0x1A2},
      {"ffffff", true, 0xFFFFFF},
      {"0", true, 0},
      {"100000000", false, 0},
      {"1000000", false, 0},
      {"10000000000000000", false, 0},
      {"1G", false, 0},
      {"", false, 0},
      {"0x", false, 0},
      {"-1", false, 0},
      {" 1", false, 0},
  };
  for (const auto& c : kCases) {
    int64_t v = 7;
    const std::string error = app::ParseHexInRange(c.text, "--offset", 0, 0xFFFFFF, v);
    EXPECT_EQ(error.empty(), c.ok) << c.text << ": " << error;
    EXPECT_EQ(v, c.ok ? c.value : 7) << c.text;
  }
  int64_t v = 0;
  EXPECT_EQ(app::ParseHexInRange("100000000", "--offset", 0, 0xFFFFFF, v),
            "--offset must be a hexadecimal number from 0x0 to 0xFFFFFF, not \"100000000\"");
}

}  // namespace
