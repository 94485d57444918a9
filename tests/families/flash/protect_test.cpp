// Sector protection end to end: the status grid, protect sector and chip
// unprotect on an MX29F004T (the MXIC command) and on the LV parts (12 V on
// #RESET, the in-system algorithm), against models that only change
// protection when the part's own sequence reaches them.
#include "families/flash/protect.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/actions.h"
#include "app/catalogue.h"
#include "families/flash/flash_fixture.h"
#include "families/flash/flash_frame.h"
#include "families/flash/flash_id.h"
#include "families/flash/jedec_cycle.h"
#include "sim/jedec_flash.h"
#include "sim/jedec_parts.h"
#include "sim/trace.h"

namespace {

using app::HandlerId;
using daraz_test::FlashSession;
namespace flash = families::flash;

struct ProtectSession : FlashSession {
  void Panel(app::Routine routine) {
    host.Clear();
    p.error = 0;
    app::RunExtraAction(p, routine);
  }
  void Status() { Panel(&flash::sbMXICF29SecStatusClick); }
  void ProtectSector(int sector) {
    flash::SelectSector(p, sector);
    Panel(&flash::sbMXICF29SecProtClick);
  }
  void Unprotect() { Panel(&flash::sbMXICF29ChipUnprtClick); }
  std::string StatusText(int sector) const {
    const std::string& row = p.controls.Find(flash::kSectorGrid)->items.at(sector + 1);
    return row.substr(row.rfind('\t') + 1);
  }
  sim::JedecFlash* Part() { return As<sim::JedecFlash>(); }
};

TEST(SectorGrid, RowsShowNumberRangeByteAndState) {
  EXPECT_EQ(flash::SectorGridRow(0, 0, 0xFFFF, 1), " S00\t 00000 - 0FFFF\t 01\t Lock");
  EXPECT_EQ(flash::SectorGridRow(10, 0x7C000, 0x7FFFF, 0), " S10\t 7C000 - 7FFFF\t 00\t Unlock");
  EXPECT_EQ(flash::SectorGridRow(3, 0x30000, 0x3FFFF, 0x03), " S03\t 30000 - 3FFFF\t 03\t ---");
}

// Every protect entry's layout covers its part: a sector missing from the
// grid could be neither protected nor unprotected.
TEST(SectorGrid, EveryProtectEntryCoversItsDevice) {
  int seen = 0;
  for (const app::CatalogueNode& node : app::DeviceCatalogue().Nodes()) {
    if (!app::IsSelectable(node)) continue;
    if (node.handler != HandlerId::M29F_Click && node.handler != HandlerId::HY29LV1601Click) {
      continue;
    }
    FlashSession s;
    s.Select(node.handler, node.tag, std::string(node.caption));
    if (s.p.dev.family != 27 && s.p.dev.family != 47) continue;
    SCOPED_TRACE(std::string(node.caption));
    ++seen;
    const std::vector<uint32_t> starts = flash::DeviceSectorStarts(s.p);
    ASSERT_GE(starts.size(), 2u);
    EXPECT_EQ(starts.front(), 0u);
    EXPECT_EQ(starts.back(), s.p.image.device_size);
    // The part in the socket has the same sectors.
    const auto* part = dynamic_cast<sim::JedecFlash*>(s.chip);
    ASSERT_NE(part, nullptr);
    ASSERT_EQ(part->sectors().count() + 1, static_cast<int>(starts.size()));
    for (int k = 0; k < part->sectors().count(); ++k)
      EXPECT_EQ(part->sectors().Start(k), starts[k]);
    EXPECT_EQ(s.p.controls.Find(flash::kSectorGrid)->items.size(), starts.size());
  }
  EXPECT_EQ(seen, 7 + 16);  // MX29F001T .. MX29F040; the selectable LV entries
}

// The status read alone, as protect and unprotect run it after their
// change: the grid is filled and the window told once, at the end, so the
// rows it shows are the ones just read.
TEST(SectorGrid, AStatusReadRefreshesTheWindowOnceWhenTheGridIsFilled) {
  ProtectSession s;
  s.Select(HandlerId::M29F_Click, 315, "MX29F004 - T");
  s.Part()->Protect(10, true);
  s.host.Clear();
  flash::SectorStatus(s.p, flash::StatusMode::kJedec8);
  EXPECT_EQ(s.StatusText(10), " Lock");
  EXPECT_EQ(s.host.controls_changed, 1);
  ASSERT_FALSE(s.host.events.empty());
  EXPECT_EQ(s.host.events.back().type, daraz_test::RecordingHost::Type::kControlsChanged);
}

// Each status byte is read after its address is shifted in and control
// bit 1 has gone up and down again: one pulse per sector, before the
// three status-port reads of the byte.
TEST(SectorGrid, EachStatusByteFollowsAPulseOfControlBitOne) {
  ProtectSession s;
  s.Select(HandlerId::M29F_Click, 315, "MX29F004 - T");
  s.board->EnableTrace(true);
  flash::SectorStatus(s.p, flash::StatusMode::kJedec8);
  const uint16_t control = s.board->base() + 2;
  const uint16_t status = s.board->base() + 1;
  uint8_t last_control = 0;
  bool up = false, pulsed = false;
  int reads = 0, bytes_after_pulse = 0;
  for (const sim::TraceEntry& e : s.board->trace()) {
    if (e.write && e.port == control) {
      if ((e.value & 0x02) != 0 && (last_control & 0x02) == 0) up = true;
      if ((e.value & 0x02) == 0 && (last_control & 0x02) != 0 && up) pulsed = true;
      last_control = e.value;
    } else if (!e.write && e.port == status) {
      if (reads % 3 == 0) {
        if (pulsed) ++bytes_after_pulse;
        up = pulsed = false;
      }
      ++reads;
    }
  }
  EXPECT_EQ(reads, 11 * 3);
  EXPECT_EQ(bytes_after_pulse, 11);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  EXPECT_EQ(s.Violations(), std::vector<std::string>{});
}

TEST(MxicProtection, ProtectOneSectorThenAgain) {
  ProtectSession s;
  s.Select(HandlerId::M29F_Click, 315, "MX29F004 - T");
  s.Status();
  ASSERT_EQ(s.p.error, 0);
  EXPECT_EQ(s.p.controls.Find(flash::kSectorGrid)->items.size(), 12u);
  EXPECT_EQ(s.p.controls.Find(flash::kSectorGrid)->items[0],
            " Sector\t Address(hex)\t Hex\t Status");
  EXPECT_EQ(s.p.controls.Find(flash::kSectorGrid)->items[11], " S10\t 7C000 - 7FFFF\t 00\t Unlock");
  EXPECT_TRUE(s.p.controls.Enabled(flash::kProtectButton));
  EXPECT_TRUE(s.p.controls.Enabled(flash::kUnprotectButton));

  s.ProtectSector(3);
  EXPECT_EQ(s.Last(), "Sector protect performed OK!");
  EXPECT_EQ(s.p.error, 0);
  EXPECT_TRUE(s.Part()->Protected(3));
  for (int k = 0; k < 11; ++k) EXPECT_EQ(s.Part()->Protected(k), k == 3) << k;
  EXPECT_EQ(s.StatusText(3), " Lock");
  EXPECT_EQ(s.p.dev.protected_count, 1);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  EXPECT_EQ(s.Violations(), std::vector<std::string>{});

  s.ProtectSector(3);
  EXPECT_EQ(s.Last(), "Sector already protected !");
  EXPECT_EQ(s.p.error, 0);
}

TEST(MxicProtection, ChipUnprotectProtectsTheRestFirstThenClearsAll) {
  ProtectSession s;
  s.Select(HandlerId::M29F_Click, 315, "MX29F004 - T");
  s.Part()->Protect(1, true);
  s.Part()->Protect(9, true);
  s.Part()->RecordWrites(true);
  s.Unprotect();
  // A success: told as information, not as an error.
  EXPECT_EQ(s.host.LastMessage(),
            std::make_pair(std::string("Chip Unprotection performed OK!"),
                           static_cast<int>(hw::kInfo)));
  EXPECT_EQ(s.p.error, 0);
  for (int k = 0; k < 11; ++k) {
    EXPECT_FALSE(s.Part()->Protected(k)) << k;
    EXPECT_EQ(s.StatusText(k), " Unlock");
  }
  // Nine sectors protected one by one, then the unprotect write at 0x240:
  // the part latched that address with A9 and A6 set.
  int protects = 0, unprotects = 0, setups = 0;
  for (const auto& w : s.Part()->writes()) {
    if (w.data == 0x80) ++setups;
    if (w.address == 0x240) ++unprotects;
    if ((w.address & 0x200) != 0 && w.address != 0x240 && w.data != 0xAA && w.data != 0x55) {
      ++protects;
    }
  }
  EXPECT_EQ(unprotects, 0) << "the protect writes are not commands";
  EXPECT_EQ(protects, 0);
  // The command cycles themselves are seen: one 0x80 setup for each of the
  // nine sectors (each taken at its first attempt) and one for the
  // unprotect.
  EXPECT_EQ(setups, 10);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  EXPECT_EQ(s.Violations(), std::vector<std::string>{});

  // Nothing protected: no change is sent at all.
  s.Part()->RecordWrites(false);
  s.Part()->RecordWrites(true);
  const size_t before = s.Part()->writes().size();
  s.Unprotect();
  EXPECT_EQ(s.Last(), "All sectors are Unprotected !");
  EXPECT_EQ(s.p.error, 0);
  for (size_t i = before; i < s.Part()->writes().size(); ++i) {
    EXPECT_NE(s.Part()->writes()[i].data, 0x80) << "an erase-class command was sent";
  }
}

TEST(MxicProtection, ASectorThatRefusesProtection) {
  ProtectSession s;
  s.Select(HandlerId::M29F_Click, 315, "MX29F004 - T");
  ASSERT_TRUE(s.chip->InjectFault({"refuse-protect", 0x30000, 0, 0}));
  s.Status();
  s.ProtectSector(3);
  EXPECT_EQ(s.Last(), "Sector Can not protected !");
  EXPECT_EQ(s.host.LastMessage().second, hw::kError);
  EXPECT_EQ(s.p.error, 1);
  EXPECT_FALSE(s.Part()->Protected(3));
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);

  // Chip unprotect stops at it, leaving what it had protected.
  s.Part()->Protect(7, true);
  s.Unprotect();
  EXPECT_EQ(s.Last(), "Protection of Sector N. 3");
  EXPECT_EQ(s.p.error, 1);
  EXPECT_TRUE(s.Part()->Protected(0));
  EXPECT_TRUE(s.Part()->Protected(7));
  EXPECT_FALSE(s.Part()->Protected(4));
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
  EXPECT_EQ(s.Violations(), std::vector<std::string>{});
}

TEST(MxicProtection, ProtectWithoutAStatusReadIsRefused) {
  ProtectSession s;
  s.Select(HandlerId::M29F_Click, 311, "MX29F001 - T");
  s.ProtectSector(2);
  EXPECT_EQ(s.Last(), "Protect/Unprotect status error !");
  EXPECT_EQ(s.p.error, 1);
  EXPECT_FALSE(s.Part()->Protected(2));
}

// With the grid's header row chosen (no sector picked) protect has nothing
// to go by: it is refused, and sector 0 is not taken in its place.
TEST(MxicProtection, ProtectWithNoSectorChosenIsRefused) {
  ProtectSession s;
  s.Select(HandlerId::M29F_Click, 315, "MX29F004 - T");
  s.Status();
  ASSERT_EQ(s.p.error, 0);
  s.ProtectSector(-1);
  EXPECT_EQ(flash::SelectedSector(s.p), -1);
  EXPECT_EQ(s.Last(), "Protect/Unprotect status error !");
  EXPECT_EQ(s.p.error, 1);
  for (int k = 0; k < 11; ++k) EXPECT_FALSE(s.Part()->Protected(k)) << k;
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

TEST(LvProtection, ProtectAndUnprotectWithTwelveVoltsOnReset) {
  const struct {
    int tag;
    const char* caption;
    int sectors;
    int pick;
  } cases[] = {{101, "HY29LV400T", 11, 8}, {106, "HY29LV160B", 35, 0}, {107, "AM29LV200B T", 7, 6}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.caption);
    ProtectSession s;
    s.Select(HandlerId::HY29LV1601Click, c.tag, c.caption);
    s.Status();
    ASSERT_EQ(s.p.error, 0) << s.Last();
    ASSERT_EQ(s.p.dev.sector_status.size(), static_cast<size_t>(c.sectors));
    // The identification flags the part: the buttons are on.
    EXPECT_TRUE(s.p.controls.Enabled(flash::kProtectButton));
    s.ProtectSector(c.pick);
    EXPECT_EQ(s.Last(), "Sector protect performed OK!");
    EXPECT_TRUE(s.Part()->Protected(c.pick));
    EXPECT_EQ(s.StatusText(c.pick), " Lock");
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);

    s.Unprotect();
    EXPECT_EQ(s.host.LastMessage(),
              std::make_pair(std::string("Chip Unprotection performed OK!"),
                             static_cast<int>(hw::kInfo)));
    EXPECT_EQ(s.p.error, 0);
    for (int k = 0; k < c.sectors; ++k) EXPECT_FALSE(s.Part()->Protected(k)) << k;
    // The gauge of the protect-all pass goes once the pulses are done.
    using Type = daraz_test::HostEvent::Type;
    const auto shown = std::find_if(s.host.events.rbegin(), s.host.events.rend(),
                                    [](const auto& e) { return e.type == Type::kShowGauge; });
    ASSERT_NE(shown, s.host.events.rend());
    EXPECT_EQ(shown->text, "Protect chip all sector");
    EXPECT_TRUE(std::any_of(s.host.events.rbegin(), shown,
                            [](const auto& e) { return e.type == Type::kHideGauge; }));
    EXPECT_EQ(s.board->RestState(), sim::kAtRest);
    EXPECT_EQ(s.Violations(), std::vector<std::string>{});
  }
}

TEST(LvProtection, AnUnflaggedChipNeedsTheCheckTakenOff) {
  ProtectSession s;
  s.Select(HandlerId::HY29LV1601Click, 101, "HY29LV400T");
  // A part the identification table does not flag, of the same geometry.
  sim::JedecPart other = *sim::FindJedecPart("Am29LV400BT");
  other.manufacturer = 0x37;
  auto chip = std::make_unique<sim::JedecFlash>(other);
  sim::JedecFlash* part = chip.get();
  s.board->InsertChip(std::move(chip));
  s.chip = part;
  // Taking the check off before any status read enables nothing: there is
  // no grid to protect from yet.
  s.p.controls.Check(flash::kNoIdCheck);
  flash::cbCHKdevIDClick(s.p);
  EXPECT_FALSE(s.p.controls.Enabled(flash::kProtectButton));
  EXPECT_FALSE(s.p.controls.Enabled(flash::kUnprotectButton));
  s.p.controls.Check(flash::kNoIdCheck, false);
  flash::cbCHKdevIDClick(s.p);
  s.Status();
  EXPECT_FALSE(s.p.controls.Enabled(flash::kProtectButton));
  EXPECT_FALSE(s.p.controls.Enabled(flash::kUnprotectButton));
  s.p.controls.Check(flash::kNoIdCheck);
  s.host.Clear();
  flash::cbCHKdevIDClick(s.p);
  ASSERT_EQ(s.host.Informations().size(), 1u);
  EXPECT_EQ(s.host.Informations()[0].substr(0, 40), " Disable Check Manufacture and Device ID");
  EXPECT_TRUE(s.p.controls.Enabled(flash::kProtectButton));
  EXPECT_TRUE(s.p.controls.Enabled(flash::kUnprotectButton));
  s.ProtectSector(10);
  EXPECT_EQ(s.Last(), "Sector protect performed OK!");
  EXPECT_TRUE(part->Protected(10));
}

// The algorithm closes with 12 V taken off #RESET first, then the reset
// command at logic level: a 0xF0 sent under 12 V goes to a part still in
// its protect mode, and dropping 12 V together with Vcc stresses it.
TEST(LvProtection, TwelveVoltsComeOffBeforeTheClosingReset) {
  ProtectSession s;
  s.Select(HandlerId::HY29LV1601Click, 101, "HY29LV400T");
  s.board->EnableTrace(true);
  flash::LvProtectSector(s.p, 0x30000);
  int rise = -1, last_pulse = -1, index = 0;
  bool power_kept = false;
  uint8_t before = 0xFF;
  for (const sim::TraceEntry& e : s.board->trace()) {
    if (!e.write || e.port != 0x37A) continue;
    // Control bit 0 low is 12 V on #RESET; bit 3 high is WE#'s pulse.
    if ((before & 0x01) == 0 && (e.value & 0x01) != 0) {
      rise = index;
      power_kept = ((before ^ e.value) & 0x04) == 0;
    }
    if ((e.value & 0x08) != 0) last_pulse = index;
    before = e.value;
    ++index;
  }
  ASSERT_GE(rise, 0);
  EXPECT_LT(rise, last_pulse);
  EXPECT_TRUE(power_kept);
  EXPECT_EQ(s.board->RestState(), sim::kAtRest);
}

TEST(LvProtection, TheModelWantsTheDatasheetPulses) {
  // A protect pulse cut short by the verify command leaves the sector as it
  // was; so does one sent without 12 V on #RESET.
  ProtectSession s;
  s.Select(HandlerId::HY29LV1601Click, 101, "HY29LV400T");
  hw::Bus& bus = s.p.bus;
  bus.PowerUp();
  bus.SetCtrl(hw::ctrl::kProgram, false);
  bus.WriteCtrl();
  const auto write = [&](uint32_t a, uint8_t d) {
    flash::CommandCycle(bus, a, d, flash::Cycle{.pulse = 2, .pause = 2});
  };
  write(0x10004, 0x60);  // no 12 V: an ordinary (unknown) command
  write(0x10004, 0x60);
  bus.DelayTicks(200);
  write(0x10004, 0x40);
  EXPECT_FALSE(s.Part()->Protected(1));
  flash::Vpp(bus, true);
  bus.DelayTicks(2);
  write(0x10004, 0x60);
  write(0x10004, 0x60);
  bus.DelayTicks(100);  // 84 us: short of 150 us
  write(0x10004, 0x40);
  EXPECT_FALSE(s.Part()->Protected(1));
  write(0x10004, 0x60);
  bus.DelayTicks(180);
  write(0x10004, 0x40);
  EXPECT_TRUE(s.Part()->Protected(1));
  EXPECT_EQ(flash::ReadAt(bus, 0x10004), 0x01);
  flash::Vpp(bus, false);
  bus.PowerDown();
  EXPECT_EQ(s.Violations(), std::vector<std::string>{});
}

// A protect pulse cut short 84 us in, by Vcc going or by the 12 V going
// from #RESET, is over and protected nothing; nothing of it is left to
// count later (at a write after power comes back, or when Vcc goes).
TEST(LvProtection, APulseCutShortProtectsNothing) {
  for (const bool power_lost : {true, false}) {
    SCOPED_TRACE(power_lost ? "Vcc lost" : "12 V lost");
    ProtectSession s;
    s.Select(HandlerId::HY29LV1601Click, 101, "HY29LV400T");
    hw::Bus& bus = s.p.bus;
    const auto write = [&](uint32_t a, uint8_t d) {
      flash::CommandCycle(bus, a, d, flash::Cycle{.pulse = 2, .pause = 2});
    };
    const auto open = [&] {
      bus.PowerUp();
      bus.SetCtrl(hw::ctrl::kProgram, false);
      bus.WriteCtrl();
      flash::Vpp(bus, true);
      bus.DelayTicks(2);
    };
    open();
    write(0x10004, 0x60);
    write(0x10004, 0x60);
    bus.DelayTicks(100);
    if (power_lost) {
      bus.PowerDown();
      open();
      write(0x20004, 0x60);
      write(0x20004, 0x60);
      bus.DelayTicks(180);
      write(0x20004, 0x40);
      EXPECT_TRUE(s.Part()->Protected(2));
      flash::Vpp(bus, false);
    } else {
      flash::Vpp(bus, false);
      bus.DelayTicks(300);
    }
    bus.PowerDown();
    EXPECT_FALSE(s.Part()->Protected(1));
  }
}

}  // namespace
