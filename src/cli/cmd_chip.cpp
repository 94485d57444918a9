// The commands that work on a chip in the socket.
#include <csignal>
#include <cstdio>
#include <filesystem>

#include "app/actions.h"
#include "app/dispatch.h"
#include "app/guided_panel.h"
#include "app/image_files.h"
#include "cli/commands.h"
#include "cli/json.h"

namespace cli {
namespace {

std::atomic<int>* g_cancel = nullptr;

constexpr int kStaticRamFamily = 20;

extern "C" void OnInterrupt(int) {
  if (g_cancel != nullptr) g_cancel->store(1);
}

// Select, apply the action options, refuse an unanswerable question before
// touching the board, then open the port. `check` may refuse too, after the
// selection (kOk to go on).
int Prepare(Session& s, const DeviceFileArgs& args, int (*check)(Session&) = nullptr) {
  if (int rc = s.Select(args.device)) return rc;
  if (check != nullptr) {
    if (int rc = check(s)) return rc;
  }
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
  // A static RAM is tested, not programmed: its test writes its own data.
  if (s.programmer().dev.family != kStaticRamFamily) {
    if (args.file.empty()) {
      std::fprintf(stderr, "daraz: program needs a FILE for this device\n");
      return s.Finish(kUsage);
    }
    if (int rc = LoadInput(s, args.file)) return s.Finish(rc);
  }
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
  const app::Controls& c = s.programmer().controls;
  const bool shown = c.Visible("pIDcode") && !c.Text("edManufacID").empty();
  if (rc == kOk && !shown) {
    std::fprintf(stderr, "daraz: this device has no identification codes to read\n");
    rc = kFailed;
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
      const std::string extra = c.Text("edIdExtra");
      if (!extra.empty()) {
        std::vector<std::string> bytes;
        for (size_t at = 0; at < extra.size();) {
          const size_t blank = extra.find(' ', at);
          bytes.push_back(extra.substr(at, blank - at));
          at = blank == std::string::npos ? extra.size() : blank + 1;
        }
        j.Field("extra", bytes);
      }
      j.EndObject();
      std::printf("%s\n", j.str().c_str());
    } else if (!g.quiet) {
      std::printf("Manufacturer: %s %s\nDevice:       %s %s\n", c.Text("edManufacID").c_str(),
                  c.Text("edManufacName").c_str(), c.Text("edDeviceID").c_str(),
                  c.Text("edDeviceName").c_str());
      if (c.Find("btnCFI") != nullptr && c.Visible("btnCFI")) {
        std::printf("CFI:          present\n");
      }
      if (!c.Text("edIdExtra").empty())
        std::printf("Extra:        %s\n", c.Text("edIdExtra").c_str());
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
