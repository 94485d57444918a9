#include "app/selection.h"

#include "app/programmer.h"
#include "app/winstat.h"

namespace app {
namespace {

// The 43 switch patterns, jumper digit then switches 1..12.
constexpr std::array<std::string_view, kSwitchPatternCount> kPatterns{
    "4000000000000", "4110101001000", "4110101001000", "4110011011000", "4001010111000",
    "4000101001000", "4000011011010", "4001011000110", "4001011011010", "4000000111000",
    "4001011010101", "4001011011001", "4001011000101", "4011011010101", "4001011010101",
    "",              "4011011000110", "",              "4001101001000", "5001011000110",
    "4011011010101", "3001010110101", "",              "",              "4001101000101",
    "4001101001000", "4000101001010", "4110001011000", "4001101001010", "4000011001010",
    "4011011000010", "4011011010101", "4011011010101", "4001010110101", "4010000000000",
    "4011011010101", "4011011010101", "4001010100110", "5001010100110", "5001010100110",
    "5100000110000", "5100010100110", "4011011000110",
};

constexpr char kJumperReminder[] =
    "Last select Device 28F001BX-x \n\n RevKA (Remove Jumper PIN [1] <--WIRE--> PIN [30]) ";

}  // namespace

std::string_view SwitchPattern(int number) {
  if (number < 0 || number >= kSwitchPatternCount) return {};
  return kPatterns[number];
}

std::array<int, 13> SwitchPictures(std::string_view pattern, bool board_flag) {
  std::array<int, 13> pictures{};
  if (pattern.size() != 13) return pictures;
  pictures[0] = pattern[0] - '0';
  for (int i = 1; i < 13; ++i) {
    const bool on = pattern[i] == '1';
    pictures[i] = (on != board_flag) ? 2 : 1;
  }
  return pictures;
}

void StartSelection(Programmer& p, const SelectItem& item) {
  p.dev.device_code = item.tag;
  p.controls.SetText("edDevice", item.caption);
  BeginDeviceSelection(p);
}

bool FinishSelection(Programmer& p, int family, int pattern) {
  if (p.dev.device_code == 0) {
    RestoreDeviceSelection(p);
    return false;
  }
  p.dev.family = family;
  p.dev.device_twp = p.dev.twp;
  p.dev.device_twc = p.dev.twc;
  UpdateAddressBits(p);
  ShowSwitchSettings(p, pattern);
  return true;
}

void BeginDeviceSelection(Programmer& p) {
  Descriptor& d = p.dev;
  Controls& c = p.controls;
  SelectionBackup& b = p.backup;
  b.twc = d.twc;
  b.twp = d.twp;
  b.address_bits = d.address_bits;
  b.read_level = d.read_level;
  b.family = d.family;
  b.scramble = d.scramble;
  b.pin28 = d.pin28;
  b.pin30 = d.pin30;
  b.serial = d.serial;
  b.pic = d.pic;
  b.fixed_address_bits = d.fixed_address_bits;
  b.separate_vpp = d.separate_vpp;
  b.skip_ff = c.Checked("cbSkip_0xFF");

  d.read_level = false;
  d.scramble = false;
  d.twc = 10;
  d.twp = 1;
  d.address_bits = 12;
  d.pin28 = false;
  d.pin30 = false;
  d.serial = false;
  d.pic = false;
  d.fixed_address_bits = false;
  d.separate_vpp = false;

  c.Check("cbSkip_0xFF", false);
  c.SetText("cbSkip_0xFF", "Skip Write 0xFF");
  c.Check("cb5555", true);
  c.SetText("cb5555", "( 555,2AA,555,.. )");
  c.Show("cb5555", false);

  p.image.buffer_offset = 0;
  c.Check("cbFujitsu_fastmode", false);
  c.Check("cbFastPro", false);

  if (d.jumper_warning) {
    p.host.Information(kJumperReminder);
    d.jumper_warning = false;
  }

  d.family = 0;

  // The track-bar handler must not take these resets for the user's changes.
  d.settings_update = true;
  c.Check("cbMCLRE", false);
  c["cbMCLRE"].index = c.Checked("cbMCLRE5") ? 1 : 0;  // the PIC MCLR option
  c.SetText("lbLoopPeak", "Loop Peak");
  c.Show("cbFujitsu_fastmode", false);
  d.settings_update = false;

  c.SetText("edOffset", "0");
  c.Enable("edOffset");
  c.Enable("lbOffset");

  c.SetText("edLockMode", " ");
  c.Check("cbMemMap", false);
  c.Show("gbUnprotect", false);
  c.Show("cbProtect");
  c.Show("cbSamartProg");
  c.Check("cbSamartProg", false);
  c.Show("pPosition");
  c.SetText("lbAdapter2", "  ");
  // A socket adapter named by the previous device must not stay on screen.
  c.SetText("lbAdapter", "");

  d.vcc_3v3 = false;
  d.sector_protect_display = false;
  d.unlock = kDefaultUnlock;
  c.Show("cb28F320J3buffer", false);
}

void RestoreDeviceSelection(Programmer& p) {
  Descriptor& d = p.dev;
  const SelectionBackup& b = p.backup;
  d.twc = b.twc;
  d.twp = b.twp;
  d.address_bits = b.address_bits;
  d.read_level = b.read_level;
  d.family = b.family;
  d.scramble = b.scramble;
  d.pin28 = b.pin28;
  d.pin30 = b.pin30;
  d.serial = b.serial;
  d.pic = b.pic;
  d.fixed_address_bits = b.fixed_address_bits;
  d.separate_vpp = b.separate_vpp;
  p.controls.Check("cbSkip_0xFF", b.skip_ff);
}

void UpdateAddressBits(Programmer& p) {
  Descriptor& d = p.dev;
  if (!d.fixed_address_bits) {
    int n = 0;
    for (uint32_t size = p.image.device_size; size != 0; size >>= 1) ++n;
    d.address_bits = n - 2;
  }
  // Sizes 0 and 1 give -2 and -1; the shift wraps the way the hardware's does.
  d.top_address_mask = 1u << (static_cast<unsigned>(d.address_bits) & 31u);
}

void ShowSwitchSettings(Programmer& p, int number) {
  Controls& c = p.controls;
  c.SetText("lbJpa18", "Vpp");
  c["lbJpa18"].colour = colour::kRed;
  const std::string_view pattern = SwitchPattern(number);
  if (!pattern.empty()) {
    c.SetText("dipPattern", std::string(pattern));
    if (number == 19 || (number >= 38 && number <= 41)) {
      c.SetText("lbJpa18", "A18");
      c["lbJpa18"].colour = colour::kBlack;
    } else if (number == 21) {
      c.SetText("lbJpa18", "A19");
      c["lbJpa18"].colour = colour::kYellow;
    }
  }
  p.dev.switch_pattern = number;
  winstat(p);  // the status refresh, settings panels included
  if (p.dev.vcc_3v3) p.host.Information("\n Select VCC = 3.3 ~ 3.6V    ");
}

}  // namespace app
