// The commands that work on a chip in the socket.
#include <cstdio>
#include <string>
#include <vector>

#include "app/actions.h"
#include "app/dispatch.h"
#include "app/family_codes.h"
#include "app/guided_panel.h"
#include "app/image_files.h"
#include "cli/commands.h"
#include "cli/file_io.h"
#include "cli/json.h"
#include "cli/report.h"
#include "cli/signals.h"
#include "sim/board.h"

namespace cli {
namespace {

// What a flash Get ID read besides the codes: the four bytes at addresses
// 0..3, or the two boot-block lock bytes.
struct IdExtra {
  const char* label = "";
  std::vector<std::string> bytes;  // "0x01", ...
};

IdExtra ExtraBytes(const app::Descriptor& d, const app::Controls& c) {
  IdExtra extra;
  const auto hex = [](uint8_t b) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", b);
    return std::string(text);
  };
  switch (d.id_extra) {
    case app::Descriptor::IdExtra::kFourBytes:
      extra.label = "Bytes 0-3:";
      for (const uint8_t b : d.id_bytes) extra.bytes.push_back(hex(b));
      break;
    case app::Descriptor::IdExtra::kLockBytes:
      extra.label = "Lock bytes:";
      for (const uint8_t b : d.lock_bytes) extra.bytes.push_back(hex(b));
      break;
    case app::Descriptor::IdExtra::kNone: {
      // Other families' identification shows its extra bytes in edIdExtra.
      const std::string text = c.Text("edIdExtra");
      extra.label = "Extra:";
      for (size_t at = 0; at < text.size();) {
        const size_t blank = text.find(' ', at);
        extra.bytes.push_back(text.substr(at, blank - at));  // "0xFE"
        at = blank == std::string::npos ? text.size() : blank + 1;
      }
      break;
    }
  }
  return extra;
}

// Select, apply the action options, and refuse an unanswerable question
// before the board is touched. `check` may refuse too, after the selection
// (kOk to go on).
int PrepareDevice(Session& s, const DeviceFileArgs& args, int (*check)(Session&) = nullptr) {
  if (s.selected() == nullptr) {
    if (int rc = s.Select(args.device)) return rc;
  }
  if (check != nullptr) {
    if (int rc = check(s)) return rc;
  }
  if (int rc = s.ApplyActionOptions(args.action)) return rc;
  if (s.QuestionUnanswerable()) {
    char text[128];
    std::snprintf(text, sizeof text,
                  "a buffer offset makes the action ask \"Use offset of 0x%06X\"; answer it with "
                  "--yes or --no",
                  s.programmer().image.buffer_offset);
    Error(text);
    return kUsage;
  }
  return kOk;
}

// PrepareDevice, then open the port.
int Prepare(Session& s, const DeviceFileArgs& args, int (*check)(Session&) = nullptr) {
  if (int rc = PrepareDevice(s, args, check)) return rc;
  return s.OpenBoard();
}

// A file for the chip is read before the board is touched: bad input never
// reaches a port.
// --eeprom: an .EEP file into the AVR EEPROM area, after FILE (whose load
// clears the image).
int LoadEeprom(Session& s, const DeviceFileArgs& args) {
  const std::string& file = args.action.file.eeprom;
  if (file.empty()) return kOk;
  if (s.programmer().dev.family != app::kAvrFamily) {
    Error("--eeprom is for the AVR parts, which keep a data EEPROM in the image");
    return kUsage;
  }
  FileOptions options;
  options.format = "eep";
  return LoadInput(s, file, options, LoadPurpose::kOther);
}

int PrepareWithFile(Session& s, const DeviceFileArgs& args, LoadPurpose purpose) {
  if (int rc = PrepareDevice(s, args)) return rc;
  if (int rc = LoadInput(s, args.file, args.action.file, purpose)) return rc;
  if (int rc = LoadEeprom(s, args)) return rc;
  if (int rc = s.ApplyImageSettings(args.action.sets)) return rc;
  return s.OpenBoard();
}

int RunAction(Session& s, void (*action)(app::Programmer&)) {
  app::Programmer& p = s.programmer();
  if (Interrupted()) {
    Error("interrupted before the action began");
    return kFailed;
  }
  s.host().Reset();
  p.error = 0;
  sim::Board* board = p.board();
  const int64_t start_ns = board != nullptr ? board->clock().now_ns() : 0;
  action(p);
  if (board != nullptr) {
    // What the same run takes on the real board, from the virtual clock.
    s.host().Status("simulated: " + DurationText(board->clock().now_ns() - start_ns) +
                    " on a real board");
  }
  return s.ActionResult();
}

void HexDump(const app::Programmer& p) {
  const uint32_t size = p.image.full_device_size;
  for (uint32_t row = 0; row < size; row += 16) {
    std::printf("%06X ", row);
    for (uint32_t i = row; i < row + 16; ++i) {
      if (i < size) {
        std::printf(" %02X", p.image[i]);
      } else {
        std::printf("   ");
      }
    }
    std::printf("  ");
    for (uint32_t i = row; i < row + 16 && i < size; ++i) {
      const uint8_t c = p.image[i];
      std::putchar(c >= 0x20 && c < 0x7F ? c : '.');
    }
    std::putchar('\n');
  }
}

}  // namespace

// A family-6 read brings the chip's block protection into the panel.
void PrintProtection(const app::Programmer& p) {
  const app::ControlState* bp = p.controls.Find("cb25CxxxBP");
  if (bp == nullptr || bp->index < 0 || static_cast<size_t>(bp->index) >= bp->items.size()) return;
  std::printf("Protection:%s, WPEN %s (status register 0x%02X)\n", bp->items[bp->index].c_str(),
              p.controls.Checked("cbWPEN25C") ? "set" : "clear", p.dev.spi_status);
}

int CmdRead(const GlobalOptions& g, const DeviceFileArgs& args) {
  Session s(g);
  std::optional<image::FileFormat> format;
  if (int rc = ParseSaveFormat("--format", args.action.file.format, format)) return rc;
  // A hex dump, or the file itself, on standard output: status lines go to
  // standard error.
  s.host().SetDataOnStdout(args.file.empty() || IsStandardOutput(args.file));
  if (int rc = s.Select(args.device)) return s.Finish(rc);
  if (!args.file.empty()) {
    if (int rc = CheckOutput(s, args.file, format)) return s.Finish(rc);
  }
  const std::string& eeprom_out = args.action.file.eeprom_out;
  if (!eeprom_out.empty()) {
    if (int rc = CheckOutput(s, eeprom_out, image::FileFormat::kEeprom)) return s.Finish(rc);
  }
  if (int rc = Prepare(s, args)) return s.Finish(rc);
  int rc = RunAction(s, app::mnuReadClick);
  if (rc == kOk && s.programmer().dev.family == 6 && !g.quiet && !g.json) {
    PrintProtection(s.programmer());
  }
  if (rc == kOk && !Interrupted()) {
    if (args.file.empty()) {
      HexDump(s.programmer());
    } else {
      rc = SaveOutput(s, args.file, format);
    }
    if (rc == kOk && !eeprom_out.empty()) {
      rc = SaveOutput(s, eeprom_out, image::FileFormat::kEeprom);
    }
  }
  return s.Finish(rc);
}

int CmdProgram(const GlobalOptions& g, const DeviceFileArgs& args) {
  Session s(g);
  if (int rc = PrepareDevice(s, args)) return s.Finish(rc);
  // A static RAM is tested, not programmed: its test writes its own data.
  if (s.programmer().dev.family != app::kStaticRamFamily) {
    if (args.file.empty()) {
      Error("program needs a FILE for this device");
      return s.Finish(kUsage);
    }
    if (int rc = LoadInput(s, args.file, args.action.file, LoadPurpose::kProgram)) {
      return s.Finish(rc);
    }
    if (int rc = LoadEeprom(s, args)) return s.Finish(rc);
    if (int rc = s.ApplyImageSettings(args.action.sets)) return s.Finish(rc);
  }
  if (int rc = s.OpenBoard()) return s.Finish(rc);
  return s.Finish(RunAction(s, app::mnuProgramClick));
}

int CmdVerify(const GlobalOptions& g, const DeviceFileArgs& args) {
  Session s(g);
  if (int rc = PrepareWithFile(s, args, LoadPurpose::kVerify)) return s.Finish(rc);
  return s.Finish(RunAction(s, app::mnuVerifyClick));
}

int CmdBlank(const GlobalOptions& g, const DeviceFileArgs& args) {
  Session s(g);
  if (int rc = Prepare(s, args)) return s.Finish(rc);
  return s.Finish(RunAction(s, app::mnuBlankClick));
}

// The guided erase asks its steps: refused before the board is touched when
// nobody can answer them.
int CheckGuidedErase(Session& s) {
  const app::GuidedProcedure* guided = app::Families().FindGuided(s.programmer().dev.family);
  if (guided == nullptr || !GuidedUnanswerable(s, *guided)) return kOk;
  std::fprintf(stderr,
               "daraz: this erase asks its steps (jumpers, switches) as questions; answer them on "
               "a terminal, or use --yes to erase at once\n");
  return kUsage;
}

int CmdErase(const GlobalOptions& g, const DeviceFileArgs& args) {
  Session s(g);
  if (int rc = Prepare(s, args, &CheckGuidedErase)) return s.Finish(rc);
  if (const app::GuidedProcedure* guided = app::Families().FindGuided(s.programmer().dev.family)) {
    return s.Finish(RunGuidedErase(s, *guided));
  }
  return s.Finish(RunAction(s, app::mnuEraseClick));
}

int CmdId(const GlobalOptions& g, const DeviceFileArgs& args) {
  Session s(g);
  if (int rc = Prepare(s, args)) return s.Finish(rc);
  int rc = RunAction(s, app::GetID_Cick);
  // The PIC parts answer with the device-ID window.
  if (s.programmer().dev.family == 17 || s.programmer().dev.family == 36) {
    return s.Finish(PrintPicId(g, s.programmer(), rc));
  }
  const app::Controls& c = s.programmer().controls;
  const bool shown = c.Visible("pIDcode") && !c.Text("edManufacID").empty();
  if (rc == kOk && !shown) {
    Error("this device has no identification codes to read");
    rc = kFailed;
  }
  // The MCS-51 parts answer with three signature bytes.
  std::string signature;
  const int family = s.programmer().dev.family;
  if (family == 10 || family == 11 || family == 14) {
    char text[16];
    const auto& sig =
        family == 14 ? s.programmer().dev.avr.signature : s.programmer().dev.mcs51.signature;
    std::snprintf(text, sizeof text, "%02X %02X %02X", sig[0], sig[1], sig[2]);
    signature = text;
  }
  // The AVR parts add the lock byte and the lock mode it means.
  const bool avr_lock = family == 14 && c.Visible("edLockbit");
  if (shown) {
    const IdExtra extra = ExtraBytes(s.programmer().dev, c);
    if (g.json) {
      Json j;
      j.BeginObject()
          .Field("manufacturer_code", c.Text("edManufacID"))
          .Field("device_code", c.Text("edDeviceID"))
          .Field("manufacturer", c.Text("edManufacName"))
          .Field("device", c.Text("edDeviceName"))
          .Field("cfi", c.Visible("btnCFI") && c.Find("btnCFI") != nullptr);
      if (!extra.bytes.empty()) j.Field("extra", extra.bytes);
      if (c.Visible("edLockbit") && c.Text("lbLockbit") == "Status Register") {
        j.Field("status_register", c.Text("edLockbit"));
      }
      if (!signature.empty()) j.Field("signature", signature);
      if (avr_lock) {
        j.Field("lock_byte", c.Text("edLockbit")).Field("lock_mode", c.Text("edLockMode"));
      }
      j.EndObject();
      std::printf("%s\n", j.str().c_str());
    } else if (!g.quiet) {
      std::printf("Manufacturer: %s %s\nDevice:       %s %s\n", c.Text("edManufacID").c_str(),
                  c.Text("edManufacName").c_str(), c.Text("edDeviceID").c_str(),
                  c.Text("edDeviceName").c_str());
      if (!extra.bytes.empty()) {
        std::string line;
        for (const std::string& b : extra.bytes) line += " " + b;
        std::printf("%-14s%s\n", extra.label, line.c_str());
      }
      if (c.Find("btnCFI") != nullptr && c.Visible("btnCFI")) {
        std::printf("CFI:          present\n");
      }
      if (c.Visible("edLockbit") && c.Text("lbLockbit") == "Status Register") {
        std::printf("Status:      %s\n", c.Text("edLockbit").c_str());
      }
      if (!signature.empty()) std::printf("Signature:    %s\n", signature.c_str());
      if (avr_lock) {
        std::printf("Lock byte:   %s%s\n", c.Text("edLockbit").c_str(),
                    c.Text("edLockMode").c_str());
      }
    }
  }
  return s.Finish(rc);
}

int CmdTest(const GlobalOptions& g) {
  Session s(g);
  if (int rc = s.OpenBoard()) return s.Finish(rc);
  return s.Finish(RunAction(s, app::mnuTestClick));
}

}  // namespace cli
