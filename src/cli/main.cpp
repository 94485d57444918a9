// daraz: the command-line front door over the same core as the desktop
// program. Argument handling and output only.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/dispatch.h"
#include "app/number_parse.h"
#include "app/option_keys.h"
#include "app/sim_harness.h"
#include "cli/commands.h"
#include "cli/parse_errors.h"
#include "cli/report.h"

namespace {

constexpr char kDescription[] =
    "Read, program, verify, blank-check, erase and identify chips on the parallel-port\n"
    "device programmer, or on the simulated board (--port sim).\n\n"
    "DEVICE is a catalogue caption (case and runs of blanks ignored, e.g. 27c256 or\n"
    "\"27C16 (RevK)\"), a group path, one of the names a caption lists (27C020 for\n"
    "\"27C020/2000/2001\") or the start of one; 'daraz devices PATTERN' lists them.\n\n"
    "FILE may be - for standard input or output. Its format comes from --format, else\n"
    "its extension, else its content.\n\n"
    "Exit status: 0 success, 1 the operation failed, 2 usage or input error,\n"
    "3 the port could not be opened.";

// The settings-panel keys, for the help of the commands that take --set.
std::string KeysHelp() {
  std::string text =
      "Keys for --set KEY[=VALUE] (or --KEY[=VALUE]); 'daraz info DEVICE' shows the ones the\n"
      "device has, with their values:\n";
  for (const app::OptionKey& key : app::Families().options().all()) {
    std::string line = "  " + key.key;
    if (key.repeats()) line += "=INDEX";
    switch (key.kind) {
      case app::OptionKind::kCheckBox:
        line += "[=0|1]";
        break;
      case app::OptionKind::kTrackBar:
      case app::OptionKind::kComboIndex:
        if (!key.values.empty()) {
          line += "=N";
        } else if (!key.choices.empty()) {
          line += "=";
          for (size_t i = 0; i < key.choices.size(); ++i) line += (i ? "|" : "") + key.choices[i];
        } else {
          line += "=" + app::NumberText(key.min) + ".." + app::NumberText(key.max);
        }
        break;
      case app::OptionKind::kEditText:
        line += "=TEXT";
        break;
    }
    if (line.size() < 24) line.resize(24, ' ');
    text += line + "  " + key.help + "\n";
  }
  return text;
}

std::string SimulationHelp() {
  std::string text;
  for (const bool board : {true, false}) {
    text += board ? "Board faults for --sim-fault:\n"
                  : "Chip faults for --sim-fault (numbers as 0x.. or decimal):\n";
    for (const sim::FaultKind& kind : sim::FaultKinds()) {
      if (kind.board != board) continue;
      std::string line = "  " + kind.Pattern();
      if (line.size() < 24) line.resize(24, ' ');
      text += line + "  " + std::string(kind.help) + "\n";
    }
  }
  text += "Jumpers for --sim-jumper:\n";
  for (const sim::JumperKind& jumper : sim::JumperKinds()) {
    std::string line = "  " + std::string(jumper.name);
    if (line.size() < 24) line.resize(24, ' ');
    text += line + "  " + std::string(jumper.help) + "\n";
  }
  return text;
}

void AddSetOption(CLI::App* cmd, std::vector<std::string>& sets) {
  cmd->add_option("--set", sets,
                  "Set a settings-panel control (repeatable): KEY, KEY=VALUE or KEY=INDEX=VALUE; "
                  "--KEY is short for --set KEY")
      ->type_name("KEY[=VALUE]");
  cmd->footer(KeysHelp());
}

void AddActionOptions(CLI::App* cmd, cli::ActionOptions& o) {
  cmd->add_option("--offset", o.offset, "Buffer offset in hex: chip address of image byte 0");
  AddSetOption(cmd, o.sets);
}

constexpr char kFormatHelp[] = "bin, hex, srec or eep";

// How FILE is read: its format and where its addresses go; for a chip
// action also whether data outside the device may be left out.
void AddFileOptions(CLI::App* cmd, cli::FileOptions& o, bool chip) {
  cmd->add_option(
         "--format", o.format,
         std::string("Read FILE as ") + kFormatHelp + " (default: by extension, else by content)")
      ->type_name("FORMAT");
  cmd->add_option("--file-offset", o.file_offset,
                  "Add ADDR to every address of FILE, as srec_cat -offset does (may be "
                  "negative: --file-offset=-0xE000)")
      ->type_name("ADDR");
  if (chip) {
    cmd->add_flag("--allow-outside", o.allow_outside,
                  "Go ahead although FILE holds data outside the device (that data is left out)");
    cmd->add_option("--eeprom", o.eeprom,
                    "AVR: load this .EEP file into the data EEPROM area after FILE")
        ->type_name("FILE");
  }
}

// A real option of the command or of the program itself is never taken
// for a key; another command's option of the same name does not count
// (`lock --lock N` beside `program --lock N`).
bool IsOption(CLI::App& app, CLI::App& command, const std::string& name) {
  return app.get_option_no_throw(name) != nullptr || command.get_option_no_throw(name) != nullptr;
}

// "--twc=40", "--twc 40", "--skip-ff" -> "--set twc=40", ...: every
// registered key is an option of the commands that take --set, without a
// CLI11 option per key. Elsewhere the text stays as typed, so the errors
// are CLI11's own.
std::vector<std::string> ExpandShorthands(CLI::App& app, int argc, char** argv) {
  std::vector<std::string> out{argv[0]};
  CLI::App* command = nullptr;  // the subcommand named so far
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--") {
      out.insert(out.end(), argv + i, argv + argc);
      break;
    }
    if (command == nullptr && arg.rfind("-", 0) != 0) {
      const auto named =
          app.get_subcommands([&arg](CLI::App* sub) { return sub->check_name(arg); });
      if (!named.empty()) command = named.front();
    }
    const size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    const app::OptionKey* key = command != nullptr &&
                                        command->get_option_no_throw("--set") != nullptr &&
                                        arg.rfind("--", 0) == 0 && name.size() > 2
                                    ? app::Families().options().Find(name.substr(2))
                                    : nullptr;
    if (key == nullptr || IsOption(app, *command, name)) {
      out.push_back(arg);
      continue;
    }
    std::string setting = arg.substr(2);
    const bool takes_value = key->kind != app::OptionKind::kCheckBox || key->repeats();
    if (equals == std::string::npos && takes_value && i + 1 < argc) {
      setting += "=" + std::string(argv[++i]);
    }
    out.push_back("--set");
    out.push_back(setting);
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{kDescription, "daraz"};
  app.require_subcommand(1);
  app.fallthrough();
  app.set_version_flag("--version", "daraz " DARAZ_VERSION);

  cli::GlobalOptions g;
  app.add_option("-p,--port", g.port,
                 "lpt1..lpt4 (ppdev by base address), /dev/parportN, direct:0xNNNN (raw I/O, "
                 "needs root) or sim")
      ->capture_default_str();
  app.add_option("--sim-chip", g.sim_chip,
                 "Simulated chip file (cells and the chip's other state): loaded if FILE exists, "
                 "written back at the end");
  app.add_option("--sim-device", g.sim_device,
                 "Put another device's chip model in the simulated socket");
  app.add_option("--sim-fault", g.sim_faults,
                 "Inject a fault (repeatable): " + app::FaultPatterns())
      ->type_name("KIND[:ARG...]");
  app.add_option("--sim-jumper", g.sim_jumpers,
                 "Fit a wire by hand on the simulated board (repeatable): " + app::JumperNames())
      ->type_name("NAME");
  app.add_option("--trace", g.trace,
                 "Write every port access of the simulated board as CSV (time, port, direction, "
                 "value)");
  auto* yes = app.add_flag("-y,--yes", g.yes, "Answer Yes to the program's questions");
  auto* no = app.add_flag("--no", g.no, "Answer No to the program's questions");
  yes->excludes(no);
  app.add_flag("-q,--quiet", g.quiet, "Print errors only");
  app.add_flag("--no-progress", g.no_progress, "No progress bar");
  app.add_flag("--json", g.json,
               "Machine-readable output for devices, info, id, cfi, sectors, lockbits and "
               "checksum; a failure prints "
               "{\"error\": ..., \"exit\": N}");
  app.add_flag("-v,--verbose", g.verbose, "Print how long each phase (program, verify) took");

  std::string pattern;
  auto* devices = app.add_subcommand("devices", "List the selectable catalogue items");
  devices->add_option("PATTERN", pattern, "Part of a caption, or a path with '/'");

  cli::DeviceFileArgs a;
  auto* info = app.add_subcommand("info", "Show a device and how to set the board for it");
  info->add_option("DEVICE", a.device, "Catalogue caption or path")->required();
  AddSetOption(info, a.action.sets);

  auto* read = app.add_subcommand("read", "Read the chip (hex dump, or a file with -o)");
  read->add_option("DEVICE", a.device, "Catalogue caption or path")->required();
  read->add_option("-o,--output", a.file,
                   "Save to FILE (- for standard output); format by extension: .bin .rom .hex "
                   ".s19 .s28 .s37 .s .eep");
  read->add_option("--format", a.action.file.format,
                   std::string("Write FILE as ") + kFormatHelp + " (default: by extension)")
      ->type_name("FORMAT");
  read->add_option("--eeprom-out", a.action.file.eeprom_out,
                   "AVR: also save the data EEPROM as this .EEP file")
      ->type_name("FILE");
  AddActionOptions(read, a.action);

  auto* program = app.add_subcommand("program", "Load FILE and program it into the chip");
  program->add_option("DEVICE", a.device, "Catalogue caption or path")->required();
  program->add_option("FILE", a.file,
                      "Binary, Intel HEX, S-record or .EEP file (none for a static RAM, which "
                      "is tested)");
  AddActionOptions(program, a.action);
  AddFileOptions(program, a.action.file, true);

  auto* verify = app.add_subcommand("verify", "Compare the chip with FILE");
  verify->add_option("DEVICE", a.device, "Catalogue caption or path")->required();
  verify->add_option("FILE", a.file, "Binary, Intel HEX, S-record or .EEP file")->required();
  AddActionOptions(verify, a.action);
  AddFileOptions(verify, a.action.file, true);

  auto* blank = app.add_subcommand("blank", "Check that the chip is erased");
  blank->add_option("DEVICE", a.device, "Catalogue caption or path")->required();
  AddActionOptions(blank, a.action);

  auto* erase = app.add_subcommand("erase", "Erase the chip");
  erase->add_option("DEVICE", a.device, "Catalogue caption or path")->required();
  AddActionOptions(erase, a.action);

  auto* id = app.add_subcommand("id", "Read and name the chip's identification codes");
  id->add_option("DEVICE", a.device, "Catalogue caption or path")->required();
  AddSetOption(id, a.action.sets);

  app.add_subcommand("test", "Run the board's loop-back hardware test");

  auto* ramtest = app.add_subcommand("ramtest", "Test a static RAM (it is written and read twice)");
  ramtest->add_option("DEVICE", a.device, "Catalogue caption or path")->required();
  bool board_auto = false;
  auto* board_test =
      app.add_subcommand("board-test",
                         "Test a home-built board line by line: the empty board's own checks, then "
                         "each line of DEVICE's socket, answered pass, fail or skip");
  board_test->add_option("DEVICE", a.device, "Catalogue caption or path")->required();
  board_test->add_flag("--auto", board_auto,
                       "Only the checks the board can do by itself; exit status 1 on a finding");
  std::optional<int> lock_value;
  auto* lock = app.add_subcommand("lock", "Write the lock bits of a microcontroller");
  lock->add_option("DEVICE", a.device, "Catalogue caption or path")->required();
  lock->add_option("--lock", lock_value,
                   "Which lock bits; the device decides what N means (MCS-51: 0 none, 1 LB1, "
                   "2 LB1+2, 3 LB1+2+3); without it the selection's choice")
      ->type_name("N");
  int fuse_value = 0;
  auto* fuse = app.add_subcommand("fuse", "Write the fuse or option byte of a microcontroller");
  fuse->add_option("DEVICE", a.device, "Catalogue caption or path")->required();
  fuse->add_option("--value", fuse_value,
                   "The value; the device decides what it means (AT89S8253: the four option "
                   "boxes, bit 0 first; AT89S8252/53: 1 turns serial programming off)")
      ->required()
      ->type_name("N");
  auto* lockbits = app.add_subcommand("lockbits", "Read the lock bits of a microcontroller");
  lockbits->add_option("DEVICE", a.device, "Catalogue caption or path")->required();
  std::optional<std::string> osccal_write, calib_2008, calib_2009;
  auto* osccal = app.add_subcommand(
      "osccal", "Read the OSCCAL word of a PIC 12F629/675, 16F630/676 or 10F/12F5xx/16F50x");
  osccal->add_option("DEVICE", a.device, "Catalogue caption or path")->required();
  osccal->add_option("--write", osccal_write,
                     "Write this calibration (0xNN, or the whole RETLW/MOVLW word); erases the "
                     "chip, needs --yes")
      ->type_name("HEX");
  auto* calib = app.add_subcommand(
      "calib", "Read the calibration words 0x2008/0x2009 of a PIC 16F684, 12F635 or 16F636");
  calib->add_option("DEVICE", a.device, "Catalogue caption or path")->required();
  calib->add_option("--set-2008", calib_2008,
                    "Write this word to 0x2008 (the other keeps its value); erases the chip, "
                    "needs --yes")
      ->type_name("HEX");
  calib->add_option("--set-2009", calib_2009, "Write this word to 0x2009; as --set-2008")
      ->type_name("HEX");

  auto* wizard = app.add_subcommand(
      "wizard",
      "Walk the sector-unprotect wizard: each step shows its switches and wires, waits for "
      "Enter (--yes: goes on at once) and runs its operation; on the simulated board a step's "
      "wires are fitted only when named with --sim-jumper");
  wizard->add_option("DEVICE", a.device, "Catalogue caption or path")->required();
  auto* cfi = app.add_subcommand("cfi", "Read the chip's identification and print its CFI report");
  cfi->add_option("DEVICE", a.device, "Catalogue caption or path")->required();

  cli::SectorArgs sec;
  auto* sectors = app.add_subcommand("sectors", "Read the protection status of every sector");
  sectors->add_option("DEVICE", sec.device, "Catalogue caption or path")->required();
  auto* protect = app.add_subcommand(
      "protect", "Protect one sector (MXIC 29F, 29LV parts) or lock a 28F J3 block");
  protect->add_option("DEVICE", sec.device, "Catalogue caption or path")->required();
  protect->add_option("SECTOR", sec.sector, "Sector number, from 0 as 'sectors' lists them")
      ->required();
  auto* unprotect =
      app.add_subcommand("unprotect", "Unprotect every sector, or unlock 28F J3 blocks");
  unprotect->add_option("DEVICE", sec.device, "Catalogue caption or path")->required();
  unprotect->add_option("SECTOR", sec.sector,
                        "28F J3 only: the block to unlock (all when left out)");
  for (auto* command : {sectors, protect, unprotect}) {
    command->add_flag("--no-id-check", sec.no_id_check,
                      "disable Manuf+dev ID: change a chip the identification did not name "
                      "(read its datasheet: the algorithm must be the AM29LV160's)");
  }

  std::string in, out, conv_device;
  cli::FileOptions conv_file;
  auto* convert = app.add_subcommand("convert", "Convert a file through the memory image");
  convert->add_option("IN", in, "Input file (- for standard input)")->required();
  convert->add_option("OUT", out, "Output file (- for standard output), named exactly so")
      ->required();
  convert->add_option("--device", conv_device,
                      "Save the device's areas; without it OUT holds the loaded extent");
  AddFileOptions(convert, conv_file, false);
  convert
      ->add_option("--out-format", conv_file.out_format,
                   std::string("Write OUT as ") + kFormatHelp + " (default: by extension)")
      ->type_name("FORMAT");

  bool crc32 = false;
  auto* checksum = app.add_subcommand("checksum", "Print the checksum of FILE over the device");
  checksum->add_option("DEVICE", a.device, "Catalogue caption or path")->required();
  checksum->add_option("FILE", a.file, "The file")->required();
  checksum->add_flag("--crc32", crc32, "CRC-32 instead of the 16-bit sum");
  cli::FileOptions sum_file;
  AddFileOptions(checksum, sum_file, false);

  app.footer(SimulationHelp());

  std::vector<std::string> args = ExpandShorthands(app, argc, argv);
  std::vector<char*> pointers;
  for (std::string& arg : args) pointers.push_back(arg.data());
  try {
    app.parse(static_cast<int>(pointers.size()), pointers.data());
  } catch (const CLI::ParseError& e) {
    const bool json = std::find(args.begin(), args.end(), "--json") != args.end();
    return cli::ReportParseError(app, e, args, json);
  }

  int rc = cli::kOk;
  if (*devices) {
    rc = cli::CmdDevices(g, pattern);
  } else if (*info) {
    rc = cli::CmdInfo(g, a.device, a.action.sets);
  } else if (*read) {
    rc = cli::CmdRead(g, a);
  } else if (*program) {
    rc = cli::CmdProgram(g, a);
  } else if (*verify) {
    rc = cli::CmdVerify(g, a);
  } else if (*blank) {
    rc = cli::CmdBlank(g, a);
  } else if (*erase) {
    rc = cli::CmdErase(g, a);
  } else if (*id) {
    rc = cli::CmdId(g, a);
  } else if (*convert) {
    rc = cli::CmdConvert(g, in, out, conv_device, conv_file);
  } else if (*checksum) {
    rc = cli::CmdChecksum(g, a.device, a.file, crc32, sum_file);
  } else if (*board_test) {
    rc = cli::CmdBoardTest(g, a.device, board_auto);
  } else if (*ramtest) {
    rc = cli::CmdRamTest(g, a);
  } else if (*lock) {
    rc = cli::CmdLock(g, a.device, lock_value);
  } else if (*fuse) {
    rc = cli::CmdFuse(g, a.device, fuse_value);
  } else if (*sectors) {
    rc = cli::CmdSectors(g, sec);
  } else if (*protect) {
    rc = cli::CmdProtect(g, sec);
  } else if (*unprotect) {
    rc = cli::CmdUnprotect(g, sec);
  } else if (*wizard) {
    rc = cli::CmdWizard(g, a.device);
  } else if (*cfi) {
    rc = cli::CmdCfi(g, a.device);
  } else if (*lockbits) {
    rc = cli::CmdLockBits(g, a.device);
  } else if (*osccal) {
    rc = cli::CmdOsccal(g, a.device, osccal_write);
  } else if (*calib) {
    rc = cli::CmdCalib(g, a.device, calib_2008, calib_2009);
  } else {
    rc = cli::CmdTest(g);
  }
  return cli::Exit(g.json, rc);
}
