// Cancel pressed in the middle of every serial family's program, verify and
// read: the action stops early, claims no success and leaves the socket
// unpowered and at rest.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "serial_fixture.h"

namespace {

using app::HandlerId;
using daraz_test::SerialSession;

struct Part {
  HandlerId handler;
  int tag;
  const char* caption;
  uint32_t bytes;  // the data loaded: the whole part, or a slice of a large flash
  bool slow_bus;   // the 100 kHz X24C01: its known tLOW/tHIGH shortfalls
};

// One part of each family: 39, 1, 2, 8, 32, 52, 6 and 57 (page and SST
// auto-increment programming).
const Part kParts[] = {
    {HandlerId::M24C_Click, 101, "X24C01", 128, true},
    {HandlerId::M24C_Click, 202, "24C02", 256, false},
    {HandlerId::M24C_Click, 301, "24C32     (32)", 4096, false},
    {HandlerId::M93C_Click, 2, "93C46 (8bit)", 128, false},
    {HandlerId::CAT64LC10_Click, 102, "CAT64LC20", 256, false},
    {HandlerId::S24H30_Click, 2, "X24C44", 32, false},
    {HandlerId::M25C_Click, 103, "25x040", 512, false},
    {HandlerId::MX25L512_Click, 404, "MX25L4005", 4096, false},
    {HandlerId::MX25L512_Click, 201, "SST25VF512", 4096, false},
};

const char* const kSuccess[] = {"Device Programmed OK", "Device Programed OK", "Device Verify OK",
                                "Chip read OK",         "Device Read OK",      "Chip dumped OK"};

void ExpectStoppedAtRest(const SerialSession& s, const Part& part) {
  for (const char* text : kSuccess) EXPECT_FALSE(s.Said(text)) << text;
  EXPECT_NE(s.p.error, 0);
  EXPECT_EQ(s.Rest(), sim::kAtRest);
  for (const std::string& v : s.Violations()) {
    EXPECT_TRUE(part.slow_bus &&
                (v == "SCL low shorter than tLOW" || v == "SCL high shorter than tHIGH"))
        << v;
  }
}

TEST(SerialCancel, EveryFamilyStopsPoweredDownWhenCancelled) {
  for (const Part& part : kParts) {
    SCOPED_TRACE(part.caption);
    SerialSession s;
    s.Select(part.handler, part.tag, part.caption);
    const std::vector<uint8_t> data = s.LoadRandom(part.bytes);

    s.host.CancelAtRefresh(s.p, 2);
    s.Program();
    {
      SCOPED_TRACE("program");
      EXPECT_EQ(s.Last(), "program interrupted!");
      EXPECT_NE(s.Cells(part.bytes), data);  // stopped before the end
      for (const auto& e : s.host.events) {  // and no verify pass after it
        EXPECT_FALSE(e.type == daraz_test::HostEvent::Type::kShowGauge &&
                     (e.text == "Verifying chip" || e.text == "Comparing chip"));
      }
      ExpectStoppedAtRest(s, part);
    }

    std::vector<uint8_t> cells = data;
    cells.resize(s.chip->Contents().size(), 0xFF);
    s.chip->SetContents(cells);
    s.host.CancelAtRefresh(s.p, 2);
    s.Verify();
    {
      SCOPED_TRACE("verify");
      ExpectStoppedAtRest(s, part);
    }

    s.host.CancelAtRefresh(s.p, 2);
    s.Read();
    {
      SCOPED_TRACE("read");
      ExpectStoppedAtRest(s, part);
    }

    if (s.p.dev.family == 6 || s.p.dev.family == 57) {  // the SPI parts have a blank check
      s.chip->SetContents(std::vector<uint8_t>(s.chip->Contents().size(), 0xFF));
      s.host.CancelAtRefresh(s.p, 2);
      s.Blank();
      SCOPED_TRACE("blank");
      EXPECT_EQ(s.Last(), "program interrupted!");
      EXPECT_FALSE(s.Said("Device is Empty"));
      ExpectStoppedAtRest(s, part);
    }
  }
}

}  // namespace
