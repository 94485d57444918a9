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

}  // namespace

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
