// The OSCCAL window and the 0x2008/0x2009 calibration words.
#include "families/mcu/pic_tools.h"

#include <cctype>
#include <cstdio>
#include <string>

#include "app/actions.h"
#include "families/mcu/pic.h"

namespace families::pic {
namespace {

constexpr uint16_t kRetlw = 0x3400;
constexpr uint16_t kMovlw = 0x0C00;
constexpr int32_t kCalibWrite = 23864;
constexpr uint32_t kCalibTags[] = {421, 422, 424};  // 12F635, 16F636, 16F684

std::string Hex4(uint16_t word) {
  char text[8];
  std::snprintf(text, sizeof text, "%04X", word);
  return text;
}

void ShowOsccal(app::Programmer& p, uint16_t word, uint16_t second) {
  p.controls.SetText(kOsccalEdit, Hex4(word));
  p.controls.SetText(kOsccalSecond, Hex4(second));
  p.host.ControlsChanged();
}

struct CalibWords {
  uint16_t w2008 = 0x3FFF;
  uint16_t w2009 = 0x3FFF;
};

CalibWords ReadCalib(app::Programmer& p) {
  CalibWords w;
  EnterAtConfig(p, 8);
  w.w2008 = PicRead(p, cmd::kReadProgram);
  PicIncrement(p);
  w.w2009 = PicRead(p, cmd::kReadProgram);
  PicExit(p);
  return w;
}

bool WriteCalibWord(app::Programmer& p, uint16_t word) {
  PicLoad(p, cmd::kLoadProgram, word);
  p.bus.DelayTicks(120);
  PicCommand(p, cmd::kBeginErase);
  p.bus.DelayTicks(kCalibWrite);
  return ((PicRead(p, cmd::kReadProgram) ^ word) & 0x3FFF) == 0;
}

}  // namespace

OsccalKind OsccalKindOf(const app::Programmer& p) {
  const app::Descriptor::Pic16& pic = p.dev.pic16;
  if (!p.dev.pic) return OsccalKind::kNone;
  if (p.dev.family == 17 && pic.algorithm == kOsccalAlgorithm) return OsccalKind::kRetlw;
  // The OTP 12C5xx keep a MOVLW too, but nothing can write it again.
  if (p.dev.family == 53 && pic.osccal_backup_index != 0) return OsccalKind::kMovlw;
  return OsccalKind::kNone;
}

std::optional<uint16_t> ParseHexWord(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
    text.remove_prefix(2);
  if (!text.empty() && (text.back() == 'h' || text.back() == 'H')) text.remove_suffix(1);
  if (text.empty() || text.size() > 4) return std::nullopt;
  uint16_t value = 0;
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (!std::isxdigit(c)) return std::nullopt;
    value = static_cast<uint16_t>(value * 16 +
                                  (std::isdigit(c) ? c - '0' : std::toupper(c) - 'A' + 10));
  }
  return value;
}

std::optional<uint16_t> OsccalWordFor(OsccalKind kind, uint16_t value) {
  switch (kind) {
    case OsccalKind::kRetlw:
      if (value <= 0xFF) return static_cast<uint16_t>(kRetlw | value);
      if ((value & 0x3F00) == kRetlw) return value;
      return std::nullopt;
    case OsccalKind::kMovlw:
      if (value <= 0xFF) return static_cast<uint16_t>(kMovlw | value);
      if ((value & 0x0F00) == kMovlw && value <= 0x0FFF) return value;
      return std::nullopt;
    case OsccalKind::kNone:
      break;
  }
  return std::nullopt;
}

void ReadOsccalTool(app::Programmer& p) {
  p.error = 1;
  switch (OsccalKindOf(p)) {
    case OsccalKind::kRetlw: {
      p.Message("Reading OSCCAL and  BandGap", hw::kInfo);
      const Calibration cal = ReadCalibration(p);
      p.bus.PowerDown();
      if (cal.osccal == 0x3FFF) {
        p.ReportError(" OSCCAL instruction Error\n(No command RETLW xx at address 0x3FF)");
        return;
      }
      ShowOsccal(p, cal.osccal, cal.band_gap);
      p.Message("PIC read OSCCAL and BandGap OK", hw::kResult);
      break;
    }
    case OsccalKind::kMovlw: {
      p.Message("Reading OSCCAL and BakOSCCAL", hw::kInfo);
      const Osccal12 cal = ReadOsccal12(p);
      p.bus.PowerDown();
      if (!IsMovlw(cal.word)) {
        char text[96];
        std::snprintf(text, sizeof text, " No command MOVLW xx (OSCCAL) at address 0x%X",
                      p.dev.pic16.osccal_index);
        p.ReportError(text);
        return;
      }
      ShowOsccal(p, cal.word, cal.backup);
      p.Message("PIC read OSCCAL and Backup OSCCAL ", hw::kResult);
      break;
    }
    case OsccalKind::kNone:
      return;
  }
  p.error = 0;
}

void WriteOsccalTool(app::Programmer& p) {
  p.error = 1;
  const OsccalKind kind = OsccalKindOf(p);
  if (kind == OsccalKind::kNone) return;
  const std::optional<uint16_t> typed = ParseHexWord(p.controls.Text(kOsccalEdit));
  const std::optional<uint16_t> word = typed ? OsccalWordFor(kind, *typed) : std::nullopt;
  if (!word) {
    p.ReportError(kind == OsccalKind::kRetlw ? "OSCCAL must be RETLW xx (34xxH)"
                                             : "OSCCAL must be MOVLW xx (0CxxH)");
    return;
  }
  bool ok = false;
  if (kind == OsccalKind::kRetlw) {
    // The band gap is the chip's own: it goes back as read.
    const Calibration before = ReadCalibration(p);
    EraseOwnVppFirst(p);
    WriteCalibration(p, Calibration{*word, before.band_gap});
    const Calibration after = ReadCalibration(p);
    ok = after.osccal == *word;
    if (ok) ShowOsccal(p, after.osccal, after.band_gap);
  } else {
    const Osccal12 before = ReadOsccal12(p);
    Osccal12 wanted{*word, before.backup};
    // A backup edit that holds a MOVLW replaces it; anything else keeps it.
    if (const auto backup = ParseHexWord(p.controls.Text(kOsccalSecond))) {
      if (IsMovlw(*backup) && *backup <= 0x0FFF) wanted.backup = *backup;
    }
    BulkErasePic12(p);
    WriteOsccal12(p, wanted);
    const Osccal12 after = ReadOsccal12(p);
    ok = after.word == wanted.word && after.backup == wanted.backup;
    if (ok) ShowOsccal(p, after.word, after.backup);
  }
  p.bus.PowerDown();
  if (!ok) {
    p.ReportError("Error writing OSCCAL");
    return;
  }
  p.Message("PIC write OSCCAL OK", hw::kResult);
  p.error = 0;
}

void btnOSCCALClick(app::Programmer& p) {
  if (OsccalKindOf(p) == OsccalKind::kNone) return;
  p.controls.Show("frmOSCCAL");
  p.host.ControlsChanged();
  app::RunExtraAction(p, &ReadOsccalTool);
}
void btnOSCCALrdClick(app::Programmer& p) { app::RunExtraAction(p, &ReadOsccalTool); }
void btnOSCCALwrClick(app::Programmer& p) { app::RunExtraAction(p, &WriteOsccalTool); }

bool HasCalibrationWords(const app::Programmer& p) {
  if (p.dev.family != 17) return false;
  for (const uint32_t tag : kCalibTags) {
    if (static_cast<uint32_t>(p.dev.device_code) == tag) return true;
  }
  return false;
}

void ReadCalibrationWords(app::Programmer& p) {
  p.error = 1;
  if (!HasCalibrationWords(p)) return;
  const CalibWords w = ReadCalib(p);
  p.bus.PowerDown();
  p.controls.SetText(kCalib2008, Hex4(w.w2008));
  p.controls.SetText(kCalib2009, Hex4(w.w2009));
  p.host.ControlsChanged();
  p.Message("PIC read CFG 0x2008,0x2009 OK", hw::kResult);
  p.error = 0;
}

void WriteCalibrationWords(app::Programmer& p) {
  p.error = 1;
  if (!HasCalibrationWords(p)) return;
  const std::string text8 = p.controls.Text(kCalib2008);
  const std::string text9 = p.controls.Text(kCalib2009);
  const std::optional<uint16_t> edit8 = ParseHexWord(text8);
  const std::optional<uint16_t> edit9 = ParseHexWord(text9);
  if ((!text8.empty() && !edit8) || (!text9.empty() && !edit9)) {
    p.ReportError("CFG 0x2008,0x2009 must be four hex digits");
    return;
  }
  if (!p.host.Ask("Do you really want program CFG 0x2008,0x2009 ?")) {
    p.error = 0;
    return;
  }
  // The erase that reaches these words takes both: read both first so the
  // one that was not edited goes back with its factory value.
  const CalibWords read = ReadCalib(p);
  const uint16_t w8 = edit8.value_or(read.w2008);
  const uint16_t w9 = edit9.value_or(read.w2009);
  EraseByAlgorithm(p, edit9 ? 8201 : 8200);
  EnterAtConfig(p, 8);
  bool ok = WriteCalibWord(p, w8);
  PicIncrement(p);
  ok = WriteCalibWord(p, w9) && ok;
  PicExit(p);
  p.bus.PowerDown();
  if (!ok) {
    p.ReportError("Error writing CFG 0x2008,0x2009");
    return;
  }
  p.controls.SetText(kCalib2008, Hex4(w8));
  p.controls.SetText(kCalib2009, Hex4(w9));
  p.host.ControlsChanged();
  p.Message("PIC write CFG 0x2008,0x2009 OK", hw::kResult);
  p.error = 0;
}

void btnPIC16F684rdClick(app::Programmer& p) { app::RunExtraAction(p, &ReadCalibrationWords); }
void btnPIC16F684wrClick(app::Programmer& p) { app::RunExtraAction(p, &WriteCalibrationWords); }

void FillToolControls(app::Programmer& p) {
  const OsccalKind kind = OsccalKindOf(p);
  p.controls.Enable("btnOSCCAL", kind != OsccalKind::kNone);
  // Only the RETLW parts ask which OSCCAL a Program keeps.
  p.controls.Enable(kOsccalSource, kind == OsccalKind::kRetlw);
  p.controls.SetText(kOsccalSecondLabel, kind == OsccalKind::kMovlw ? "BakOSCCAL" : "BandGap");
  p.controls.SetText(kOsccalEdit, "");
  p.controls.SetText(kOsccalSecond, "");
  const bool calib = HasCalibrationWords(p);
  for (const char* name :
       {"gbPIC16F684", "ed0X2008", "ed0X2009", "btnPIC16F684rd", "btnPIC16F684wr"}) {
    p.controls.Show(name, calib);
  }
  p.controls.SetText(kCalib2008, "");
  p.controls.SetText(kCalib2009, "");
}

}  // namespace families::pic
