#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/session.h"

namespace cli {

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
int CmdTest(const GlobalOptions& g);
// Microcontroller lock bits and fuses (cmd_lock.cpp): the family decides
// what the number means and refuses a value it does not take.
int CmdLock(const GlobalOptions& g, const std::string& device, const std::optional<int>& value);
int CmdFuse(const GlobalOptions& g, const std::string& device, int value);
int CmdLockBits(const GlobalOptions& g, const std::string& device);
int CmdConvert(const GlobalOptions& g, const std::string& in, const std::string& out,
               const std::string& device);
int CmdChecksum(const GlobalOptions& g, const std::string& device, const std::string& file,
                bool crc32);

// Ctrl-C during an action cancels it at its next progress step.
void InstallCancelHandler(app::Programmer& p);
void RemoveCancelHandler();

}  // namespace cli
