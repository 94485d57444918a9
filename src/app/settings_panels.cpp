// The option part of the status refresh: which family panel shows and which
// action commands are enabled, by family type code.
#include <algorithm>
#include <array>
#include <initializer_list>
#include <string_view>

#include "app/programmer.h"
#include "app/selection.h"

namespace app {
namespace {

constexpr std::array<std::string_view, 13> kFamilyPanels{
    "p24CSettings",     "pF28Settings",       "p27CSettings",      "pPICSettings",
    "p49F00xsetting",   "p29CxxxSetting",     "pMCS51Setting",     "p25CxxxSetting",
    "pAVRsetting",      "p28Fx00setting",     "pFirwareHubSetting", "pPIC18FxxxSetting",
    "pMXICF29040",
};

// Commands an action has in the menu and on the tool bar.
constexpr std::array<std::string_view, 12> kActionCommands{
    "mnuRead",  "sbRead",  "mnuProgram", "sbProgram", "mnuVerify", "sbVerify",
    "mnuBlank", "sbBlank", "mnuErase",   "sbErase",   "mnuGetID",  "sbGetID",
};

struct PanelRow {
  std::initializer_list<int> families;
  std::string_view panel;
};

// Families whose only change is the panel they show.
const std::array<PanelRow, 11> kPanelRows{{
    {{3, 31}, "pF28Settings"},
    {{1, 2, 8, 39, 51, 52}, "p24CSettings"},
    {{6, 57}, "p25CxxxSetting"},
    {{15, 22, 44}, "p49F00xsetting"},
    {{24, 25, 26, 46, 55}, "p28Fx00setting"},
    {{27, 41, 42, 43, 45, 47, 49, 50}, "pMXICF29040"},
    {{34, 35}, "pFirwareHubSetting"},
    {{14}, "pAVRsetting"},
    {{16, 17, 18, 53}, "pPICSettings"},
    {{36}, "pPIC18FxxxSetting"},
    {{9, 21}, "p29CxxxSetting"},
}};

bool In(int family, std::initializer_list<int> set) {
  return std::find(set.begin(), set.end(), family) != set.end();
}

void Disable(Controls& c, std::initializer_list<std::string_view> names) {
  for (auto name : names) c.Enable(name, false);
}

void ShowPageSize(Programmer& p) {
  static constexpr std::array<uint32_t, 6> kSizes{64, 128, 256, 512, 1024, 2048};
  const auto it = std::find(kSizes.begin(), kSizes.end(), p.dev.page_size);
  if (it != kSizes.end()) p.controls["cbSsize"].index = static_cast<int>(it - kSizes.begin());
}

}  // namespace

void RedrawSettingsPanels(Programmer& p) {
  Controls& c = p.controls;
  const int f = p.dev.family;
  // Start from a clean slate, so nothing the previous family disabled stays
  // disabled.
  for (auto panel : kFamilyPanels) c.Show(panel, false);
  for (auto command : kActionCommands) c.Enable(command);

  if (In(f, {0, 13, 33})) {
    c.Show("p27CSettings");
    Disable(c, {"mnuErase", "sbErase", "mnuGetID", "sbGetID"});
    c.Enable("cbSkip_0xFF");
  } else if (In(f, {23, 30, 48, 5})) {
    c.Show("p27CSettings");
    Disable(c, {"mnuGetID", "sbGetID"});
    c.Enable("cbSkip_0xFF");
  } else if (f == 7) {
    c.Show("p29CxxxSetting");
    ShowPageSize(p);
    Disable(c, {"mnuGetID", "sbGetID"});
  } else if (In(f, {9, 21})) {
    c.Show("p29CxxxSetting");
    ShowPageSize(p);
  } else if (In(f, {10, 11, 38})) {
    c.Show("pMCS51Setting");
    c.Show("lbOffset", false);
    c.Show("edOffset", false);
    c.Enable("sbRdLB");
    c.Enable("sbLockBit");
    static constexpr std::array<std::string_view, 4> kLocks{"rbLock0", "rbLock1", "rbLock12",
                                                            "rbLock123"};
    for (int i = 0; i < 4; ++i) c.Check(kLocks[i], i == p.dev.lock_mode);
  } else if (f == 28) {
    Disable(c, {"mnuErase", "sbErase", "mnuGetID", "sbGetID", "cbSkip_0xFF"});
  } else if (f == 29) {
    Disable(c, {"sbProgram", "mnuErase", "sbErase", "mnuGetID", "sbGetID"});
  } else {
    for (const auto& row : kPanelRows) {
      if (In(f, row.families)) c.Show(row.panel);
    }
  }
  if (!In(f, {10, 11, 38})) {
    c.Show("lbOffset");
    c.Show("edOffset");
  }
  // "FastErase": the electrically erasable EPROMs' erase without the panel.
  c.Show("TEST27c_ERASE", f == 23);
}

}  // namespace app
