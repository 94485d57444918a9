#include "families/mcu/mcs51_fixture.h"

#include <cstdio>

namespace daraz_test {
namespace {

TEST(Mcs51Smoke, At89c2051RoundTrip) {
  Mcs51Session s;
  s.Select20(3);
  const auto data = s.LoadRandom(2048);
  s.Program();
  for (auto& e : s.host.Messages()) std::printf("%s\n", e.first.c_str());
  for (auto& v : s.board->ViolationDetails()) std::printf("V: %s\n", v.c_str());
  EXPECT_EQ(s.Cells(), data);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

TEST(Mcs51Smoke, At89c52RoundTrip) {
  Mcs51Session s;
  s.Select40(3);
  const auto data = s.LoadRandom(8192);
  s.Program();
  for (auto& e : s.host.Messages()) std::printf("%s\n", e.first.c_str());
  for (auto& v : s.board->ViolationDetails()) std::printf("V: %s\n", v.c_str());
  EXPECT_EQ(s.Cells(), data);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

}  // namespace
}  // namespace daraz_test

#include "sim/mcs48_chip.h"
namespace daraz_test {
namespace {
TEST(Mcs48Smoke, RoundTrip) {
  Mcs51Session s;
  app::SelectDevice(s.p, app::HandlerId::D8748_Click, app::SelectItem{102, "8749"});
  auto made = app::MakeSimChip(s.p);
  auto* chip = dynamic_cast<sim::Mcs48Chip*>(made.get());
  ASSERT_NE(chip, nullptr);
  s.board->InsertChip(std::move(made));
  s.board->ClearViolations();
  const auto data = s.LoadRandom(2048);
  s.Program();
  for (auto& e : s.host.Messages()) std::printf("%s\n", e.first.c_str());
  for (auto& v : s.board->ViolationDetails()) std::printf("V: %s\n", v.c_str());
  EXPECT_EQ(chip->Contents(), data);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  std::printf("time %lld ms\n", (long long)(s.board->clock().now_ns() / 1000000));
}
}  // namespace
}  // namespace daraz_test
