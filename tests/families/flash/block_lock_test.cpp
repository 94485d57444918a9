// The block lock bits of the 16-bit Intel parts through the sector panel:
// the status read in identifier mode on the word bus, and on the J3 (whose
// bits are the only ones that outlive a power-down) locking one block,
// unlocking one block and unlocking all, against the word-mode model.
#include <gtest/gtest.h>

#include "app/actions.h"
#include "families/flash/flash_fixture.h"
#include "families/flash/protect.h"
#include "sim/wsm_flash.h"

namespace {

using app::HandlerId;
using daraz_test::FlashSession;
namespace flash = families::flash;

struct LockSession : FlashSession {
  void Panel(app::Routine routine) {
    host.Clear();
    p.error = 0;
    app::RunExtraAction(p, routine);
  }
  void Status() { Panel(&flash::sbMXICF29SecStatusClick); }
  void Lock(int block) {
    flash::SelectSector(p, block);
    Panel(&flash::sbMXICF29SecProtClick);
  }
  void Unlock(int block) {
    flash::SelectSector(p, block);
    Panel(&flash::sb28FBlockUnlockClick);
  }
  void UnlockAll() { Panel(&flash::sbMXICF29ChipUnprtClick); }
  const std::vector<std::string>& Grid() const {
    return p.controls.Find(flash::kSectorGrid)->items;
  }
  sim::WsmFlash* Part() { return As<sim::WsmFlash>(); }
  std::vector<int> LockedBlocks() {
    std::vector<int> locked;
    for (int b = 0; b < Part()->blocks().count(); ++b) {
      if (Part()->Locked(b)) locked.push_back(b);
    }
    return locked;
  }
  void ExpectCleanRest() {
    EXPECT_EQ(board->RestState(), sim::kAtRest);
    EXPECT_EQ(Violations(), std::vector<std::string>{});
  }
};

// 28F320J3: 32 symmetric blocks of 128 KB, 64 K words each.
TEST(BlockLocks, TheJ3LocksABlockUnlocksOneAndClearsThemAll) {
  LockSession s;
  s.Select(HandlerId::N28F4001Click, 301, "28F320 J3 ");
  EXPECT_EQ(s.p.controls.Text("pMXICF29040"), "28Fxxx Sector lock/Unlock");
  EXPECT_EQ(s.p.controls.Text(flash::kProtectButton), "lock sector");
  EXPECT_EQ(s.p.controls.Text(flash::kUnprotectButton), "unlock all");
  EXPECT_TRUE(s.p.controls.Visible(flash::kUnlockBlockButton));
  EXPECT_FALSE(s.p.controls.Enabled(flash::kUnlockBlockButton));

  s.Status();
  ASSERT_EQ(s.p.error, 0);
  ASSERT_EQ(s.Grid().size(), 33u);
  EXPECT_EQ(s.Grid()[1], " S00\t 00000 - 0FFFF\t 00\t Unlock");
  EXPECT_EQ(s.Grid()[32], " S31\t 1F0000 - 1FFFFF\t 00\t Unlock");
  for (const char* button :
       {flash::kProtectButton, flash::kUnprotectButton, flash::kUnlockBlockButton}) {
    EXPECT_TRUE(s.p.controls.Enabled(button)) << button;
  }
  s.ExpectCleanRest();

  s.Lock(3);
  EXPECT_EQ(s.Last(), "Sector protect performed OK!");
  EXPECT_EQ(s.p.error, 0);
  EXPECT_EQ(s.LockedBlocks(), std::vector<int>{3});
  EXPECT_EQ(s.Grid()[4], " S03\t 30000 - 3FFFF\t 01\t Lock");
  EXPECT_EQ(s.p.dev.protected_count, 1);
  s.ExpectCleanRest();
  s.Lock(3);
  EXPECT_EQ(s.Last(), "Sector already protected !");
  EXPECT_EQ(s.host.LastMessage().second, hw::kResult);
  EXPECT_EQ(s.p.error, 0);

  // The part clears its bits only all at once: unlocking block 3 clears
  // them and sets block 7's again.
  s.Lock(7);
  ASSERT_EQ(s.LockedBlocks(), (std::vector<int>{3, 7}));
  s.Unlock(3);
  EXPECT_EQ(s.Last(), "Sector unlock performed OK!");
  EXPECT_EQ(s.p.error, 0);
  EXPECT_EQ(s.LockedBlocks(), std::vector<int>{7});
  EXPECT_EQ(s.Part()->lock_clears(), 1u);
  EXPECT_EQ(s.Grid()[4], " S03\t 30000 - 3FFFF\t 00\t Unlock");
  EXPECT_EQ(s.Grid()[8], " S07\t 70000 - 7FFFF\t 01\t Lock");
  s.ExpectCleanRest();
  s.Unlock(3);
  EXPECT_EQ(s.Last(), "Sector already unlocked !");
  EXPECT_EQ(s.host.LastMessage().second, hw::kResult);
  EXPECT_EQ(s.p.error, 0);
  EXPECT_EQ(s.Part()->lock_clears(), 1u);

  s.UnlockAll();
  EXPECT_EQ(s.host.LastMessage(),
            std::make_pair(std::string("Chip Unprotection performed OK!"),
                           static_cast<int>(hw::kInfo)));
  EXPECT_EQ(s.p.error, 0);
  EXPECT_EQ(s.LockedBlocks(), std::vector<int>{});
  EXPECT_EQ(s.Part()->lock_clears(), 2u);
  EXPECT_EQ(s.p.dev.protected_count, 0);
  s.ExpectCleanRest();
  // Nothing locked: nothing is sent.
  s.UnlockAll();
  EXPECT_EQ(s.Last(), "All sectors are Unprotected !");
  EXPECT_EQ(s.Part()->lock_clears(), 2u);
}

// The C3 comes out of every power-up with each block locked (the lock is
// volatile), the B3 has no lock bits: both show their status, neither
// offers a change that could outlive the power-down.
TEST(BlockLocks, TheC3AndB3ShowTheirStatusAndOfferNoChange) {
  const struct {
    int tag;
    const char* caption;
    size_t blocks;  // 64 KB main blocks + eight 8 KB parameter blocks
    const char* state;
    int locked;
  } kCases[] = {
      {201, "28F800 C3T", 15 + 8, " Lock", 23},
      {101, "28F400 B3T", 7 + 8, " Unlock", 0},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.caption);
    LockSession s;
    s.Select(HandlerId::N28F4001Click, c.tag, c.caption);
    s.Status();
    ASSERT_EQ(s.p.error, 0);
    ASSERT_EQ(s.Grid().size(), c.blocks + 1);
    for (size_t b = 1; b < s.Grid().size(); ++b) {
      EXPECT_EQ(s.Grid()[b].substr(s.Grid()[b].rfind('\t') + 1), c.state) << b;
    }
    EXPECT_EQ(s.p.dev.protected_count, c.locked);
    for (const char* button :
         {flash::kProtectButton, flash::kUnprotectButton, flash::kUnlockBlockButton}) {
      EXPECT_FALSE(s.p.controls.Enabled(button)) << button;
    }
    s.ExpectCleanRest();
  }
}

TEST(BlockLocks, LockBitsChangeOnlyWithTheProgramVoltage) {
  LockSession s;
  s.Select(HandlerId::N28F4001Click, 301, "28F320 J3 ");
  ASSERT_TRUE(s.chip->InjectFault({"novpp", 0, 0, 0}));
  s.Status();
  s.Lock(5);
  EXPECT_EQ(s.p.error, 1);
  EXPECT_TRUE(s.host.HasMessage("  Vpp Range Error"));
  EXPECT_EQ(s.Last(), "Sector Can not protected !");
  EXPECT_EQ(s.LockedBlocks(), std::vector<int>{});
  s.ExpectCleanRest();

  s.Part()->Lock(5, true);
  s.Status();
  s.Unlock(5);
  EXPECT_EQ(s.p.error, 1);
  EXPECT_TRUE(s.host.HasMessage("  Vpp Range Error"));
  EXPECT_EQ(s.LockedBlocks(), std::vector<int>{5});
  s.ExpectCleanRest();
}

// Setting one lock bit is a whole power session of its own: the part is
// left unpowered with the bit set, whatever runs after it.
TEST(BlockLocks, ALoneLockCommandEndsWithThePartUnpowered) {
  LockSession s;
  s.Select(HandlerId::N28F4001Click, 301, "28F320 J3 ");
  EXPECT_TRUE(flash::IntelLockBlock(s.p, 0x30000));  // block 3, in words
  EXPECT_EQ(s.p.error, 0);
  EXPECT_EQ(s.LockedBlocks(), std::vector<int>{3});
  EXPECT_TRUE(s.PoweredDown());
  s.ExpectCleanRest();
  EXPECT_TRUE(flash::IntelClearLocks(s.p));
  EXPECT_EQ(s.LockedBlocks(), std::vector<int>{});
  EXPECT_TRUE(s.PoweredDown());
  s.ExpectCleanRest();
}

// A selection elsewhere gives the panel back its protect captions.
TEST(BlockLocks, OtherFamiliesKeepTheProtectCaptions) {
  LockSession s;
  s.Select(HandlerId::N28F4001Click, 301, "28F320 J3 ");
  s.Select(HandlerId::M29F_Click, 315, "MX29F004 - T");
  EXPECT_EQ(s.p.controls.Text(flash::kProtectButton), "protect sector");
  EXPECT_EQ(s.p.controls.Text(flash::kUnprotectButton), "chip unprotect");
  EXPECT_FALSE(s.p.controls.Visible(flash::kUnlockBlockButton));
}

}  // namespace
