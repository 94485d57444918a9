#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/session.h"

namespace app {
class Programmer;
struct GuidedProcedure;
}

namespace cli {

class Json;

struct DeviceFileArgs {
  std::string device;
  std::string file;
  ActionOptions action;
};

int CmdDevices(const GlobalOptions& g, const std::string& pattern);
// `sets`: --set settings to apply before showing the keys' values.
int CmdInfo(const GlobalOptions& g, const std::string& device,
            const std::vector<std::string>& sets);
int CmdRead(const GlobalOptions& g, const DeviceFileArgs& args);  // file: -o, may be empty
int CmdProgram(const GlobalOptions& g, const DeviceFileArgs& args);
int CmdVerify(const GlobalOptions& g, const DeviceFileArgs& args);
int CmdBlank(const GlobalOptions& g, const DeviceFileArgs& args);
int CmdErase(const GlobalOptions& g, const DeviceFileArgs& args);
int CmdId(const GlobalOptions& g, const DeviceFileArgs& args);
// The PIC18 device-ID window after an identification that ended with `rc`
// (cmd_pic18.cpp), and the configuration bytes and ID for `info --json`.
void AddPic18Info(Json& j, const app::Programmer& p);
int CmdTest(const GlobalOptions& g);
// The board test: the automatic checks of the empty board, then (unless
// `automatic_only`) the guided steps for the device's socket.
int CmdBoardTest(const GlobalOptions& g, const std::string& device, bool automatic_only);
// The RAM test of a static RAM (what `program` does for one).
int CmdRamTest(const GlobalOptions& g, const DeviceFileArgs& args);
// The erase of a family with a guided panel: its steps as questions, or the
// procedure's fast command with --yes.
int RunGuidedErase(Session& s, const app::GuidedProcedure& procedure);
// The steps would be asked and nobody can answer.
bool GuidedUnanswerable(const Session& s, const app::GuidedProcedure& procedure);
// `file`: --format (of IN), --out-format (of OUT) and --file-offset.
// Microcontroller lock bits and fuses (cmd_lock.cpp): the family decides
// what the number means and refuses a value it does not take.
int CmdLock(const GlobalOptions& g, const std::string& device, const std::optional<int>& value);
int CmdFuse(const GlobalOptions& g, const std::string& device, int value);
int CmdLockBits(const GlobalOptions& g, const std::string& device);
// PIC10/12/16 (cmd_pic.cpp): the OSCCAL word (read; --write with --yes),
// the 0x2008/0x2009 calibration words (read; --set-2008/--set-2009 with
// --yes), the device-ID window of `id` (mid-range and PIC18), and
// the configuration panel's state for `info --json`.
int CmdOsccal(const GlobalOptions& g, const std::string& device,
              const std::optional<std::string>& write);
int CmdCalib(const GlobalOptions& g, const std::string& device,
             const std::optional<std::string>& set_2008,
             const std::optional<std::string>& set_2009);
int PrintPicId(const GlobalOptions& g, const app::Programmer& p, int rc);
class Json;
void AddPicInfo(Json& j, const app::Programmer& p);
// The CFI report of the chip in the socket (cmd_flash.cpp).
int CmdCfi(const GlobalOptions& g, const std::string& device);
// The sector protection commands (cmd_flash.cpp).
struct SectorArgs {
  std::string device;
  std::optional<int> sector;
  bool no_id_check = false;  // cbCHKdevID
};
int CmdSectors(const GlobalOptions& g, const SectorArgs& args);
int CmdProtect(const GlobalOptions& g, const SectorArgs& args);
int CmdUnprotect(const GlobalOptions& g, const SectorArgs& args);
// The steps of the guided panel a device opens when selected (the 29F0x0
// unprotect wizard), each confirmed with Enter or --yes.
int CmdWizard(const GlobalOptions& g, const std::string& device);
int CmdConvert(const GlobalOptions& g, const std::string& in, const std::string& out,
               const std::string& device, const FileOptions& file);
// `file`: --format and --file-offset.
int CmdChecksum(const GlobalOptions& g, const std::string& device, const std::string& file,
                bool crc32, const FileOptions& options);

}  // namespace cli
