// The PIC10/12/16 commands beside the six actions: `osccal` (the OSCCAL
// window), `calib` (the 0x2008/0x2009 calibration words), the device-ID
// window's lines for `id`, and the configuration panel for `info --json`.
#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <tuple>

#include "app/actions.h"
#include "app/number_parse.h"
#include "cli/commands.h"
#include "cli/json.h"
#include "cli/report.h"
#include "families/mcu/pic.h"
#include "families/mcu/pic_config.h"
#include "families/mcu/pic_tools.h"

namespace cli {
namespace {

namespace pic = families::pic;

constexpr const char* kBoxNames[8] = {"watchdog",    "power_up_timer", "mclr_enable",   "brown_out",
                                      "low_voltage", "cp_eeprom",      "write_protect", "debugger"};

int Run(Session& s, app::Routine routine) {
  app::Programmer& p = s.programmer();
  s.host().Reset();
  p.error = 0;
  app::RunExtraAction(p, routine);
  return s.ActionResult();
}

std::string DeviceName(const Session& s) {
  return s.selected() != nullptr ? std::string(s.selected()->caption) : "the device";
}

// A hex word from an option: "0x58", "58", "3458".
int ParseWordOption(const char* option, const std::string& text, uint16_t& out) {
  const auto value = pic::ParseHexWord(text);
  if (!value) {
    Error(std::string(option) + " takes a hex number (0x58), not \"" + text + "\"");
    return kUsage;
  }
  out = *value;
  return kOk;
}

std::string ListItem(const app::Controls& c, std::string_view list) {
  const app::ControlState* state = c.Find(list);
  if (state == nullptr || state->index < 0 ||
      static_cast<size_t>(state->index) >= state->items.size()) {
    return {};
  }
  return state->items[static_cast<size_t>(state->index)];
}

}  // namespace

int CmdOsccal(const GlobalOptions& g, const std::string& device,
              const std::optional<std::string>& write) {
  Session s(g);
  if (int rc = s.Select(device)) return rc;
  app::Programmer& p = s.programmer();
  const pic::OsccalKind kind = pic::OsccalKindOf(p);
  if (kind == pic::OsccalKind::kNone) {
    Error(DeviceName(s) + " has no OSCCAL word this command can write");
    return kUsage;
  }
  if (write) {
    uint16_t value = 0;
    if (int rc = ParseWordOption("--write", *write, value)) return rc;
    const auto word = pic::OsccalWordFor(kind, value);
    if (!word) {
      Error(kind == pic::OsccalKind::kRetlw ? "--write takes 0x00..0xFF or a RETLW word 0x34xx"
                                            : "--write takes 0x00..0xFF or a MOVLW word 0x0Cxx");
      return kUsage;
    }
    if (!g.yes) {
      Error("writing the OSCCAL erases the whole chip (code and data are lost): add --yes");
      return kUsage;
    }
    char text[8];
    std::snprintf(text, sizeof text, "%04X", *word);
    p.controls.SetText(pic::kOsccalEdit, text);
  }
  if (int rc = s.OpenBoard()) return s.Finish(rc);
  const int rc = Run(s, write ? &pic::WriteOsccalTool : &pic::ReadOsccalTool);
  if (rc == kOk) {
    const std::string word = p.controls.Text(pic::kOsccalEdit);
    const std::string second = p.controls.Text(pic::kOsccalSecond);
    const bool retlw = kind == pic::OsccalKind::kRetlw;
    if (g.json) {
      Json j;
      j.BeginObject()
          .Field("osccal", "0x" + word)
          .Field(retlw ? "band_gap" : "backup", "0x" + second)
          .EndObject();
      std::printf("%s\n", j.str().c_str());
    } else if (!g.quiet) {
      std::printf("OSCCAL:    0x%s\n%s 0x%s\n", word.c_str(),
                  retlw ? "Band gap: " : "Backup:   ", second.c_str());
    }
  }
  return s.Finish(rc);
}

int CmdCalib(const GlobalOptions& g, const std::string& device,
             const std::optional<std::string>& set_2008,
             const std::optional<std::string>& set_2009) {
  Session s(g);
  if (int rc = s.Select(device)) return rc;
  app::Programmer& p = s.programmer();
  if (!pic::HasCalibrationWords(p)) {
    Error(DeviceName(s) + " has no calibration words at 0x2008/0x2009");
    return kUsage;
  }
  const bool write = set_2008 || set_2009;
  char text[8];
  for (const auto& [option, value, control] :
       {std::tuple{"--set-2008", &set_2008, pic::kCalib2008},
        std::tuple{"--set-2009", &set_2009, pic::kCalib2009}}) {
    if (!*value) continue;
    uint16_t word = 0;
    if (int rc = ParseWordOption(option, **value, word)) return rc;
    if (word > 0x3FFF) {
      Error(std::string(option) + " takes a 14-bit word (0x0000..0x3FFF)");
      return kUsage;
    }
    std::snprintf(text, sizeof text, "%04X", word);
    p.controls.SetText(control, text);
  }
  if (write && !g.yes) {
    Error(
        "writing the calibration words erases the chip (program memory, IDs, configuration): "
        "add --yes");
    return kUsage;
  }
  if (int rc = s.OpenBoard()) return s.Finish(rc);
  const int rc = Run(s, write ? &pic::WriteCalibrationWords : &pic::ReadCalibrationWords);
  if (rc == kOk) {
    const std::string w8 = p.controls.Text(pic::kCalib2008);
    const std::string w9 = p.controls.Text(pic::kCalib2009);
    if (g.json) {
      Json j;
      j.BeginObject().Field("0x2008", "0x" + w8).Field("0x2009", "0x" + w9).EndObject();
      std::printf("%s\n", j.str().c_str());
    } else if (!g.quiet) {
      std::printf("0x2008:    0x%s\n0x2009:    0x%s\n", w8.c_str(), w9.c_str());
    }
  }
  return s.Finish(rc);
}

int PrintPicId(const GlobalOptions& g, const app::Programmer& p, int rc) {
  const app::ControlState* shown = p.controls.Find(pic::kDeviceIdControl);
  if (rc != kOk) return rc;
  if (shown == nullptr || shown->text.empty() || shown->index < 0) {
    Error("the identification read no device ID");
    return kFailed;
  }
  const auto id = static_cast<uint16_t>(shown->index);
  const pic::DeviceIdWindow w = pic::DescribeDeviceId(p.dev.family, id);
  if (g.json) {
    Json j;
    j.BeginObject()
        .Field("title", w.title)
        .Field("value", w.value)
        .Field("id", int{id})
        .Field("bits", w.binary)
        .Field("revision", w.revision)
        .Field("device", w.name)
        .EndObject();
    std::printf("%s\n", j.str().c_str());
  } else if (!g.quiet) {
    const auto trimmed = [](const std::string& text) {
      return text.substr(std::min(text.find_first_not_of(' '), text.size()));
    };
    std::printf("%s\nValue:    %s\nBits:     %s\nRevision: %d\nDevice:   %s\n", w.title.c_str(),
                trimmed(w.value).c_str(), w.binary.c_str(), w.revision, trimmed(w.name).c_str());
  }
  return rc;
}

void AddPicInfo(Json& j, const app::Programmer& p) {
  const int f = p.dev.family;
  if (f != 16 && f != 17 && f != 18 && f != 53) return;
  const app::Controls& c = p.controls;
  char word[8];
  std::snprintf(word, sizeof word, "0x%04X", p.image.Word(p.dev.pic16.config_index));
  j.Field("config", word);
  j.BeginObject("pic")
      .Field("oscillator", ListItem(c, pic::kLists[0]))
      .Field("code_protect", ListItem(c, pic::kLists[1]))
      .Field("brown_out", ListItem(c, pic::kLists[2]))
      .Field("id", c.Text(pic::kIdField));
  j.BeginObject("boxes");
  for (int b = 0; b < 8; ++b) {
    if (c.Enabled(pic::kBoxes[b])) j.Field(kBoxNames[b], c.Checked(pic::kBoxes[b]));
  }
  j.EndObject().EndObject();
}

}  // namespace cli
