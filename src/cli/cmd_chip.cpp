// The commands that work on a chip in the socket.
#include <csignal>
#include <cstdio>
#include <filesystem>

#include "app/actions.h"
#include "app/image_files.h"
#include "cli/commands.h"
#include "cli/json.h"

namespace cli {
namespace {

std::atomic<int>* g_cancel = nullptr;

extern "C" void OnInterrupt(int) {
  if (g_cancel != nullptr) g_cancel->store(1);
}

// Select, apply the action options, refuse an unanswerable question before
// touching the board, then open the port.
int Prepare(Session& s, const DeviceFileArgs& args) {
  if (int rc = s.Select(args.device)) return rc;
  if (int rc = s.ApplyActionOptions(args.action)) return rc;
  if (s.QuestionUnanswerable()) {
    std::fprintf(stderr,
                 "daraz: a buffer offset makes the action ask \"Use offset of 0x%06X\"; answer it "
                 "with --yes or --no\n",
                 s.programmer().image.buffer_offset);
    return kUsage;
  }
  return s.OpenBoard();
}

int RunAction(Session& s, void (*action)(app::Programmer&)) {
  app::Programmer& p = s.programmer();
  s.host().Reset();
  p.error = 0;
  InstallCancelHandler(p);
  action(p);
  RemoveCancelHandler();
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

// Saves under exactly the name asked for: the writers add their own
// extension when the name has another one.
bool SaveAs(app::Programmer& p, const std::string& path) {
  const std::string written = app::SaveFile(p, path, app::SaveTypeForPath(path));
  if (written.empty()) return false;
  if (written != path) {
    std::error_code ec;
    std::filesystem::rename(written, path, ec);
    if (ec) {
      std::fprintf(stderr, "daraz: cannot rename %s to %s: %s\n", written.c_str(), path.c_str(),
                   ec.message().c_str());
      return false;
    }
  }
  return true;
}

int LoadInput(Session& s, const std::string& file) {
  if (!std::filesystem::is_regular_file(file)) {
    std::fprintf(stderr, "daraz: cannot read %s: no such file\n", file.c_str());
    return kUsage;
  }
  return app::LoadFile(s.programmer(), file) ? kOk : kUsage;
}

}  // namespace

void InstallCancelHandler(app::Programmer& p) {
  g_cancel = &p.cancel;
  std::signal(SIGINT, OnInterrupt);
}

void RemoveCancelHandler() {
  std::signal(SIGINT, SIG_DFL);
  g_cancel = nullptr;
}

int CmdRead(const GlobalOptions& g, const DeviceFileArgs& args) {
  Session s(g);
  if (int rc = Prepare(s, args)) return s.Finish(rc);
  int rc = RunAction(s, app::mnuReadClick);
  if (rc == kOk) {
    if (args.file.empty()) {
      HexDump(s.programmer());
    } else if (!SaveAs(s.programmer(), args.file)) {
      rc = kFailed;
    }
  }
  return s.Finish(rc);
}

int CmdProgram(const GlobalOptions& g, const DeviceFileArgs& args) {
  Session s(g);
  if (int rc = Prepare(s, args)) return s.Finish(rc);
  if (int rc = LoadInput(s, args.file)) return s.Finish(rc);
  return s.Finish(RunAction(s, app::mnuProgramClick));
}

int CmdVerify(const GlobalOptions& g, const DeviceFileArgs& args) {
  Session s(g);
  if (int rc = Prepare(s, args)) return s.Finish(rc);
  if (int rc = LoadInput(s, args.file)) return s.Finish(rc);
  return s.Finish(RunAction(s, app::mnuVerifyClick));
}

int CmdBlank(const GlobalOptions& g, const DeviceFileArgs& args) {
  Session s(g);
  if (int rc = Prepare(s, args)) return s.Finish(rc);
  return s.Finish(RunAction(s, app::mnuBlankClick));
}

int CmdErase(const GlobalOptions& g, const DeviceFileArgs& args) {
  Session s(g);
  if (int rc = Prepare(s, args)) return s.Finish(rc);
  return s.Finish(RunAction(s, app::mnuEraseClick));
}

int CmdId(const GlobalOptions& g, const DeviceFileArgs& args) {
  Session s(g);
  if (int rc = Prepare(s, args)) return s.Finish(rc);
  int rc = RunAction(s, app::GetID_Cick);
  const app::Controls& c = s.programmer().controls;
  const bool shown = c.Visible("pIDcode") && !c.Text("edManufacID").empty();
  if (rc == kOk && !shown) {
    std::fprintf(stderr, "daraz: this device has no identification codes to read\n");
    rc = kFailed;
  }
  // The MCS-51 parts answer with three signature bytes.
  std::string signature;
  const int family = s.programmer().dev.family;
  if (family == 10 || family == 11) {
    char text[16];
    const auto& sig = s.programmer().dev.mcs51.signature;
    std::snprintf(text, sizeof text, "%02X %02X %02X", sig[0], sig[1], sig[2]);
    signature = text;
  }
  if (shown) {
    if (g.json) {
      Json j;
      j.BeginObject()
          .Field("manufacturer_code", c.Text("edManufacID"))
          .Field("device_code", c.Text("edDeviceID"))
          .Field("manufacturer", c.Text("edManufacName"))
          .Field("device", c.Text("edDeviceName"))
          .Field("cfi", c.Visible("btnCFI") && c.Find("btnCFI") != nullptr);
      if (!signature.empty()) j.Field("signature", signature);
      j.EndObject();
      std::printf("%s\n", j.str().c_str());
    } else if (!g.quiet) {
      std::printf("Manufacturer: %s %s\nDevice:       %s %s\n", c.Text("edManufacID").c_str(),
                  c.Text("edManufacName").c_str(), c.Text("edDeviceID").c_str(),
                  c.Text("edDeviceName").c_str());
      if (c.Find("btnCFI") != nullptr && c.Visible("btnCFI")) {
        std::printf("CFI:          present\n");
      }
      if (!signature.empty()) std::printf("Signature:    %s\n", signature.c_str());
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
