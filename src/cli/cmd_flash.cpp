// The flash tools beyond the six actions: the CFI report and the sector
// protection commands.
#include <cstdio>
#include <string>

#include "app/actions.h"
#include "app/chip_id.h"
#include "cli/commands.h"
#include "cli/json.h"
#include "cli/report.h"
#include "families/flash/cfi.h"
#include "families/flash/protect.h"
#include "families/flash/wide/wide_bus.h"

namespace cli {
namespace {

// A cell without its display blanks.
std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool Blank(const families::flash::CfiRow& row) {
  for (const std::string& cell : row) {
    if (!Trim(cell).empty()) return false;
  }
  return true;
}

int RunGetId(Session& s) {
  app::Programmer& p = s.programmer();
  s.host().Reset();
  p.error = 0;
  app::GetID_Cick(p);
  return s.ActionResult();
}

namespace flash = families::flash;

// The families whose sectors the panel protects and unprotects (type 45:
// locks and unlocks blocks).
bool Protects(int family) { return family == 27 || family == 45 || family == 47; }

int RunPanel(Session& s, app::Routine routine) {
  app::Programmer& p = s.programmer();
  s.host().Reset();
  p.error = 0;
  app::RunExtraAction(p, routine);
  return s.ActionResult();
}

// Select, refuse a device without the tools, open the board, read the
// status (which also decides whether the chip may be changed).
enum class Change { kNone, kProtect, kUnprotect };

int PrepareSectors(Session& s, const SectorArgs& args, Change what) {
  const bool change = what != Change::kNone;
  if (int rc = s.Select(args.device)) return rc;
  app::Programmer& p = s.programmer();
  const int family = p.dev.family;
  if (!Protects(family)) {
    Error("this device has no sector protection tools");
    return kUsage;
  }
  if (family == 45 && change && !flash::wide::IsJ3(p)) {
    Error(
        "only the J3 keeps block lock bits: a C3 locks every block again at power-up (program "
        "and erase unlock them), a B3 has none");
    return kUsage;
  }
  if (what == Change::kUnprotect && args.sector && family != 45) {
    Error("these chips unprotect all sectors at once: give no SECTOR");
    return kUsage;
  }
  if (args.sector) {
    const size_t count = flash::DeviceSectorStarts(p).size() - 1;
    if (*args.sector < 0 || static_cast<size_t>(*args.sector) >= count) {
      Error("sector " + std::to_string(*args.sector) + " is not a sector of this device (0.." +
            std::to_string(count - 1) + ")");
      return kUsage;
    }
  }
  p.controls.Check(flash::kNoIdCheck, args.no_id_check);
  if (int rc = s.OpenBoard()) return rc;
  if (int rc = RunPanel(s, &flash::sbMXICF29SecStatusClick)) return rc;
  if (change && !p.controls.Enabled(flash::kProtectButton)) {
    Error(
        "the identification does not name a chip with this protection algorithm; "
        "--no-id-check overrides it");
    return kFailed;
  }
  return kOk;
}

void PrintSectors(const GlobalOptions& g, const app::Programmer& p) {
  const std::vector<uint32_t> starts = flash::DeviceSectorStarts(p);
  const auto& status = p.dev.sector_status;
  if (g.json) {
    Json j;
    j.BeginArray();
    for (size_t k = 0; k < status.size(); ++k) {
      const char* state = status[k] == 1 ? "Lock" : status[k] == 0 ? "Unlock" : "---";
      j.BeginObject()
          .Field("sector", static_cast<int>(k))
          .Field("start", starts[k])
          .Field("end", starts[k + 1] - 1)
          .Field("status", state)
          .Field("code", static_cast<int>(status[k]))
          .EndObject();
    }
    j.EndArray();
    std::printf("%s\n", j.str().c_str());
  } else if (!g.quiet) {
    for (const std::string& row : p.controls.Find(flash::kSectorGrid)->items) {
      std::string line = row;
      for (char& c : line) c = c == '\t' ? ' ' : c;
      std::printf("%s\n", line.c_str());
    }
    std::printf("Protected: %d\n", p.dev.protected_count);
  }
}

}  // namespace

int CmdSectors(const GlobalOptions& g, const SectorArgs& args) {
  Session s(g);
  if (int rc = PrepareSectors(s, args, Change::kNone)) return s.Finish(rc);
  PrintSectors(g, s.programmer());
  return s.Finish(kOk);
}

int CmdProtect(const GlobalOptions& g, const SectorArgs& args) {
  Session s(g);
  if (int rc = PrepareSectors(s, args, Change::kProtect)) return s.Finish(rc);
  flash::SelectSector(s.programmer(), *args.sector);
  const int rc = RunPanel(s, &flash::sbMXICF29SecProtClick);
  if (rc == kOk) PrintSectors(g, s.programmer());
  return s.Finish(rc);
}

int CmdUnprotect(const GlobalOptions& g, const SectorArgs& args) {
  Session s(g);
  if (int rc = PrepareSectors(s, args, Change::kUnprotect)) return s.Finish(rc);
  if (args.sector) flash::SelectSector(s.programmer(), *args.sector);
  const int rc =
      RunPanel(s, args.sector ? &flash::sb28FBlockUnlockClick : &flash::sbMXICF29ChipUnprtClick);
  if (rc == kOk) PrintSectors(g, s.programmer());
  return s.Finish(rc);
}

int CmdCfi(const GlobalOptions& g, const std::string& device) {
  Session s(g);
  if (int rc = s.Select(device)) return s.Finish(rc);
  if (int rc = s.OpenBoard()) return s.Finish(rc);
  const int rc = RunGetId(s);
  if (rc != kOk) return s.Finish(rc);
  const app::Descriptor& d = s.programmer().dev;
  if (!app::CfiStartsWithQry(d.cfi)) {
    Error("the chip gave no CFI query data (the query area does not start with \"QRY\")");
    return s.Finish(kFailed);
  }
  const auto grid = families::flash::CfiReport(d.cfi, d.cfi_no_primary);
  if (g.json) {
    Json j;
    j.BeginArray();
    for (size_t r = 1; r < grid.size(); ++r) {
      const auto& row = grid[r];
      if (Blank(row)) continue;
      j.BeginObject();
      const std::string address = Trim(row[1]);
      if (!address.empty()) {
        j.Field("offset", static_cast<int>(std::stoul(address, nullptr, 16)));
        j.Field("code", static_cast<int>(std::stoul(Trim(row[2]), nullptr, 16)));
      }
      j.Field("description", Trim(row[0])).Field("value", Trim(row[3])).EndObject();
    }
    j.EndArray();
    std::printf("%s\n", j.str().c_str());
  } else if (!g.quiet) {
    std::printf(
        "%s\n",
        Trim(families::flash::CfiTitle(s.programmer().controls.Text("edDeviceName"))).c_str());
    for (const auto& row : grid) {
      if (Blank(row)) continue;
      std::printf("%-60s %-6s %-6s %s\n", row[0].c_str(), row[1].c_str(), row[2].c_str(),
                  row[3].c_str());
    }
  }
  return s.Finish(kOk);
}

}  // namespace cli
