#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/catalogue.h"
#include "app/programmer.h"
#include "app/sim_harness.h"
#include "cli/cli_host.h"
#include "sim/trace.h"

namespace cli {

// Exit statuses.
inline constexpr int kOk = 0;
inline constexpr int kFailed = 1;  // the operation failed
inline constexpr int kUsage = 2;   // usage or input error, question refused
inline constexpr int kNoPort = 3;  // the port backend could not be opened

struct GlobalOptions {
  std::string port = "lpt1";
  std::string sim_chip;
  std::string sim_device;
  std::vector<std::string> sim_faults;
  std::vector<std::string> sim_jumpers;
  std::string trace;
  bool yes = false;
  bool no = false;
  bool quiet = false;
  bool no_progress = false;
  bool json = false;
  bool verbose = false;
};

// How the command reads (or writes) its file.
struct FileOptions {
  std::string format;          // --format bin|hex|srec|eep; empty: extension, then content
  std::string file_offset;     // --file-offset, may be negative
  bool allow_outside = false;  // program or verify although data lies outside the device
  std::string out_format;      // convert: --out-format for OUT
  std::string eeprom;          // program, verify: --eeprom FILE.eep into the AVR EEPROM area
  std::string eeprom_out;      // read: --eeprom-out FILE.eep from the AVR EEPROM area
};

// Options the chip actions share.
struct ActionOptions {
  std::string offset;             // hexadecimal
  std::vector<std::string> sets;  // --set KEY[=VALUE], in order
  FileOptions file;
};

// One invocation: the terminal host, the programmer session, and the
// simulated board's extras (chip file, faults, trace).
class Session {
 public:
  explicit Session(const GlobalOptions& options);
  ~Session();

  CliHost& host() { return host_; }
  app::Programmer& programmer() { return *p_; }
  const GlobalOptions& options() const { return options_; }

  // Selects a device by name through its handler; prints the candidates of
  // an ambiguous name. kOk or kUsage.
  int Select(const std::string& name);
  const app::CatalogueNode* selected() const { return selected_; }

  // Applies --offset and the --set settings after the selection. kOk or
  // kUsage.
  int ApplyActionOptions(const ActionOptions& options);
  // Applies `--set KEY[=VALUE]` settings as the window would: all are parsed
  // first, so a bad one changes nothing. kOk or kUsage.
  int ApplySettings(const std::vector<std::string>& sets);
  // After a file load: the settings whose key edits the image again, so
  // they override the file.
  int ApplyImageSettings(const std::vector<std::string>& sets);

  // Opens the port and, on the simulated board, puts the chip in the socket
  // with its saved contents and the requested faults. kOk, kUsage or kNoPort.
  int OpenBoard();

  // A question would be needed and nobody can answer it: refuse before the
  // board is touched.
  bool QuestionUnanswerable() const;

  // Result of an action from what it showed: kOk, kFailed or kUsage.
  int ActionResult() const;

  // Saves the simulated chip (when it was set up) and the trace. Returns
  // `rc`, or kFailed when nothing could be written and `rc` was kOk.
  int Finish(int rc);

 private:
  int ParseSimulationOptions();
  int PrepareSimulation();

  GlobalOptions options_;
  CliHost host_;
  std::unique_ptr<app::Programmer> p_;
  std::unique_ptr<sim::TraceSink> trace_;
  const app::CatalogueNode* selected_ = nullptr;
  bool board_open_ = false;
  std::vector<app::SimFault> faults_;
  // The socket's chip is set up (its file loaded), so saving it back
  // cannot destroy a file that failed to load.
  bool chip_ready_ = false;
  std::string chip_device_;  // the device the socket's chip was made for
};

// The selectable item a name stands for, with the error printed when there
// is none, and a note when it was not the caption as typed.
const app::CatalogueNode* LookupOrExplain(const std::string& name, bool quiet);

}  // namespace cli
