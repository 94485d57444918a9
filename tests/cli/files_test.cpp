// Files, device names and messages under real use: the real binary against
// real toolchain output and hostile input, checking the exit status, what
// it says, and every file in the folder afterwards.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <map>

#include "cli_fixture.h"

namespace {

using namespace cli_test;

// A 6502 ROM assembled at 0xE000: 0x11 0x22 at 0xE000, 0xAA 0xBB at the
// reset vector 0xFFFE.
constexpr char kRomAtE000[] = ":02E000001122EB\r\n:02FFFE00AABB9C\r\n:00000001FF\r\n";
// What sdcc writes for a small program: Intel HEX under .ihx.
constexpr char kSdccIhx[] = ":0400000001020304F2\r\n:00000001FF\r\n";

class Files : public Cli {
 protected:
  // Every file of the folder but the captured output, with its contents.
  std::map<std::string, std::string> Folder() {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(dir_)) {
      const std::string name = entry.path().filename().string();
      if (name == "out.txt" || name == "err.txt") continue;
      files[name] = entry.is_regular_file() ? Slurp(entry.path()) : std::string("<not a file>");
    }
    return files;
  }
};

// Each case starts from the same folder. The command may create or replace
// only `written`; every other file stays exactly as it was, and nothing
// else appears.
TEST_F(Files, HostileAndRealInputs) {
  const std::string random_bytes = "\x13\x88\xF0\x01garbage\xFF\x00\x7F";
  const std::string a_bin(5000, '\x5A');
  const std::map<std::string, std::string> start = {
      {"a.bin", a_bin},
      {"fw.BIN", "someone else's firmware"},
      {"hello.hex", "hello world\n"},
      {"random.s19", random_bytes},
      {"x.eep", ":0100000055AA\r\n:00000001FF\r\n"},
      {"rom.hex", kRomAtE000},
      {"big.bin", std::string(40 * 1024, '\x33')},
      {"empty.bin", ""},
      {"prog.ihx", kSdccIhx},
  };
  const struct {
    const char* args;
    int rc;
    const char* err;      // in stderr; "" checks nothing
    const char* written;  // the one file the command may write; "" none
  } kCases[] = {
      // convert writes exactly the name it is given, and never fw.BIN.
      {"convert a.bin fw", 0, "", "fw"},
      {"convert a.bin out.hex", 0, "", "out.hex"},
      // A text file with no data record is no image.
      {"convert hello.hex o.bin", 2, "No data records in hello.hex", ""},
      {"convert random.s19 o.bin", 2, "No data records in random.s19", ""},
      {"-p sim program 27C256 hello.hex", 2, "No data records in hello.hex", ""},
      {"-p sim verify 27C256 random.s19", 2, "No data records in random.s19", ""},
      {"-p sim program 27C256 empty.bin", 2, "File is empty", ""},
      {"-p sim program 27C256 missing.bin", 2, "cannot read missing.bin", ""},
      {"-p sim program 27C256 .", 2, "cannot read .: it is a directory", ""},
      // An EEPROM file needs an AVR; converting one onto itself wipes nothing.
      {"convert x.eep x.eep", 2, "An EEPROM (.eep) file needs an AVR device", ""},
      {"-p sim read 27C256 -o dump.eep", 2, "An EEPROM (.eep) file needs an AVR device", ""},
      // Data outside the device: said, and refused unless allowed.
      {"-p sim program 27C64 rom.hex", 2,
       "4 bytes of rom.hex, from 0x00E000 to 0x00FFFF, lie outside the 27C64", ""},
      {"-p sim verify 27C64 rom.hex", 2, "refusing to verify", ""},
      {"-p sim program 27C256 big.bin", 2,
       "8192 bytes of big.bin, from 0x008000 to 0x009FFF, lie outside the 27C256", ""},
      {"-p sim program 27C256 big.bin --allow-outside", 0, "lie outside", ""},
      {"-p sim program 27C64 rom.hex --file-offset=-0xE000", 0, "", ""},
      {"-p sim program 27C64 rom.hex --file-offset -0xE000 --allow-outside", 0, "", ""},
      {"-p sim program 27C64 rom.hex --file-offset=-0xE001", 2,
       "The file offset moves data below address 0", ""},
      {"-p sim program 27C64 rom.hex --file-offset 0x1000000", 2,
       "--file-offset must be a number from -0xFFFFFF to 0xFFFFFF", ""},
      // Numbers are range-checked, never wrapped.
      {"-p sim --yes read 27C256 --offset 100000000 -o r.bin", 2,
       "--offset must be a hexadecimal number from 0x0 to 0xFFFFFF, not \"100000000\"", ""},
      {"-p sim --yes read 27C256 --offset 12G -o r.bin", 2, "not \"12G\"", ""},
      // sdcc's .ihx is Intel HEX; --format can say otherwise.
      {"convert prog.ihx p.bin", 0, "", "p.bin"},
      {"convert --format bin prog.ihx p.bin", 0, "", "p.bin"},
      {"convert --format s19 prog.ihx p.bin", 2, "--format must be bin, hex, srec or eep", ""},
      // Devices and streams are written in place.
      {"-p sim read 27C64 -o /dev/null", 0, "", ""},
      {"convert a.bin /dev/stdout", 0, "", ""},
      // The simulated chip file must be a file that can be written.
      {"-p sim --sim-chip . read 27C64 -o r.bin", 2, "is a directory", ""},
      {"-p sim --sim-chip a.bin/chip read 27C64 -o r.bin", 2, "cannot be", ""},
      // Names and arguments nobody knows are named.
      {"-p sim read 27C256 --fats", 2, "unknown option --fats for read", ""},
      {"--fats test", 2, "unknown option --fats", ""},
      {"tset", 2, "unknown command \"tset\"", ""},
      {"info M27C4001", 2, "keeps the current device", ""},
  };
  for (const auto& c : kCases) {
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    for (const auto& [name, content] : start) Write(name, content);
    const RunResult r = Daraz(c.args);
    EXPECT_EQ(r.rc, c.rc) << c.args << "\n" << r.err;
    EXPECT_NE(r.err.find(c.err), std::string::npos) << c.args << "\n" << r.err;
    std::map<std::string, std::string> after = Folder();
    if (*c.written != '\0') {
      EXPECT_EQ(after.count(c.written), 1u) << c.args;
      after.erase(c.written);
    }
    EXPECT_EQ(after, start) << c.args;
  }
}

// What the commands of the table above wrote, byte for byte.
TEST_F(Files, WhatTheyWrite) {
  WriteRandom("a.bin", 5000, 1);
  Write("fw.BIN", "keep");
  ASSERT_EQ(Daraz("convert a.bin fw").rc, 0);
  EXPECT_EQ(Slurp(Path("fw")), Slurp(Path("a.bin")));

  Write("prog.ihx", kSdccIhx);
  ASSERT_EQ(Daraz("convert prog.ihx p.bin").rc, 0);
  EXPECT_EQ(Slurp(Path("p.bin")), std::string("\x01\x02\x03\x04"));
  ASSERT_EQ(Daraz("convert --format bin prog.ihx p.bin").rc, 0);
  EXPECT_EQ(Slurp(Path("p.bin")), kSdccIhx);
  // Without any extension the content decides.
  Write("prog", kSdccIhx);
  ASSERT_EQ(Daraz("convert prog p.bin").rc, 0);
  EXPECT_EQ(Slurp(Path("p.bin")), std::string("\x01\x02\x03\x04"));

  // Standard output and standard input, status lines out of the way.
  RunResult r = Daraz("convert a.bin /dev/stdout");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(r.out, Slurp(Path("a.bin")));
  EXPECT_NE(r.err.find("Binary File loaded OK"), std::string::npos);
  r = Daraz("convert - - --format hex --out-format srec", Path("prog.ihx"));
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(r.out.rfind("S1070000010203", 0), 0u) << r.out;
}

// A write that fails half-way (here at the file-size limit) leaves the old
// file as it was and no temporary file behind.
TEST_F(Files, AFailedWriteLeavesNothingBehind) {
  WriteRandom("big.bin", 1 << 20, 10);
  Write("out.hex", "old");
  const std::string cmd = "cd '" + dir_.string() + "' && (ulimit -f 64; '" DARAZ_CLI
                          "' convert big.bin out.hex > out.txt 2> err.txt)";
  const int status = std::system(cmd.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_NE(Slurp(Path("err.txt")).find("cannot write out.hex"), std::string::npos);
  EXPECT_EQ(Slurp(Path("out.hex")), "old");
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir_)) names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"big.bin", "err.txt", "out.hex", "out.txt"}));
}

// Reading to a pipe or a hex dump: only data on standard output.
TEST_F(Files, DataOnStdoutAndStatusOnStderr) {
  WriteRandom("fw.bin", 8192, 2);
  ASSERT_EQ(Daraz("-p sim --sim-chip c.sim program 27C64 fw.bin").rc, 0);
  RunResult r = Daraz("-p sim --sim-chip c.sim read 27C64 -o -");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(r.out, Slurp(Path("fw.bin")));
  EXPECT_NE(r.err.find("Chip read OK"), std::string::npos);
  EXPECT_NE(r.err.find("on a real board"), std::string::npos);

  r = Daraz("-p sim --sim-chip c.sim read 27C64");
  ASSERT_EQ(r.rc, 0);
  EXPECT_EQ(r.out.rfind("000000  ", 0), 0u);
  EXPECT_EQ(Count(r.out, "\n"), 8192u / 16);
  EXPECT_NE(r.err.find("Chip read OK"), std::string::npos);

  r = Daraz("-p sim --sim-chip c.sim verify 27C64 -", Path("fw.bin"));
  EXPECT_EQ(r.rc, 0) << r.err;
  EXPECT_NE(r.out.find("Device Verify OK"), std::string::npos);
}

// --file-offset moves the addresses exactly as srec_cat -offset does.
TEST_F(Files, FileOffsetAgreesWithSrecCat) {
  if (std::system("srec_cat -version > /dev/null 2>&1") != 0) GTEST_SKIP() << "no srec_cat";
  WriteRandom("rom.bin", 0x2000, 3);
  const struct {
    const char* input;     // made from rom.bin by srec_cat
    const char* make;      // srec_cat's options for it
    const char* offset;    // --file-offset and -offset
    const char* output;    // what both write
    const char* out_type;  // srec_cat's name for that format
  } kCases[] = {
      {"rom.hex", "-offset 0xE000 -o rom.hex -intel", "-0xE000", "a.hex", "-intel"},
      {"rom.s19", "-offset 0xE000 -o rom.s19 -motorola", "-0xDF00", "b.s19", "-motorola"},
      {"rom.s28", "-offset 0x30000 -o rom.s28 -motorola -address-length=3", "0x4000", "c.hex",
       "-intel"},
      {"rom.bin", "", "0x100", "d.s19", "-motorola"},
      {"rom.hex", "-offset 0xE000 -o rom.hex -intel", "-57344", "e.s37", "-motorola"},
  };
  for (const auto& c : kCases) {
    const std::string in_type = std::string(c.input).ends_with(".hex")   ? "-intel"
                                : std::string(c.input).ends_with(".bin") ? "-binary"
                                                                         : "-motorola";
    if (*c.make != '\0') {
      ASSERT_EQ(
          std::system(("cd '" + dir_.string() + "' && srec_cat rom.bin -binary " + c.make).c_str()),
          0);
    }
    const RunResult r =
        Daraz(std::string("convert ") + c.input + " " + c.output + " --file-offset=" + c.offset);
    ASSERT_EQ(r.rc, 0) << c.input << " " << c.offset << "\n" << r.err;
    const std::string theirs = std::string("ref") + c.output;
    ASSERT_EQ(std::system(("cd '" + dir_.string() + "' && srec_cat " + c.input + " " + in_type +
                           " -offset " + c.offset + " -o " + theirs + " " + c.out_type)
                              .c_str()),
              0);
    // The same bytes at the same addresses. Our file also holds the 0xFF
    // fill below the data; srec_cat's only the data: compare the data range.
    const std::string cmp = "cd '" + dir_.string() + "' && srec_cmp " + theirs + " " + c.out_type +
                            " " + c.output + " " + c.out_type + " -crop -within " + theirs + " " +
                            c.out_type + " > /dev/null 2>&1";
    EXPECT_EQ(std::system(cmp.c_str()), 0) << c.input << " " << c.offset;
  }
}

// The chip file is rewritten when the chip changed, and only then.
TEST_F(Files, SimulatedChipFileRewrittenOnlyWhenChanged) {
  WriteRandom("fw.bin", 8192, 4);
  ASSERT_EQ(Daraz("-p sim --sim-chip c.sim program 27C64 fw.bin").rc, 0);
  struct stat before {};
  ASSERT_EQ(::stat(Path("c.sim").c_str(), &before), 0);
  for (const char* args : {"verify 27C64 fw.bin", "read 27C64 -o r.bin", "blank 27C64"}) {
    Daraz(std::string("-p sim --sim-chip c.sim ") + args);
    struct stat after {};
    ASSERT_EQ(::stat(Path("c.sim").c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino) << args;  // never replaced
  }
  WriteRandom("other.bin", 16, 5);
  Daraz("-p sim --sim-chip c.sim program 27C64 other.bin");
  struct stat changed {};
  ASSERT_EQ(::stat(Path("c.sim").c_str(), &changed), 0);
  EXPECT_NE(changed.st_ino, before.st_ino);
}

// SIGTERM and SIGHUP stop a run as Ctrl-C does: Cancel, the socket powered
// down, the chip file written, status 1.
TEST_F(Files, SignalsCancelAndPowerDown) {
  // A 1 MB part takes seconds to simulate; the signal comes long before.
  WriteRandom("big.bin", 1024 * 1024, 6);
  Write("head.bin", Slurp(Path("big.bin")).substr(0, 64));
  // (Ctrl-C has a test of its own.)
  for (const char* signal : {"TERM", "HUP"}) {
    // On a loaded machine (or a sanitizer build) the file may still be
    // loading when the signal comes; that stop is tested elsewhere, so wait
    // longer until the signal meets the running action.
    int status = 0;
    std::string err;
    for (const char* delay : {"0.5", "1", "2", "4", "8"}) {
      fs::remove(Path("chip.sim"));
      const std::string cmd = "cd '" + dir_.string() +
                              "' && ('" DARAZ_CLI
                              "' -p sim --sim-chip chip.sim program 27C080 big.bin < /dev/null > "
                              "out.txt 2> err.txt & pid=$!; sleep " +
                              delay + "; kill -" + signal + " $pid; wait $pid)";
      status = std::system(cmd.c_str());
      err = Slurp(Path("err.txt"));
      if (err.find("interrupted before the action began") == std::string::npos) break;
    }
    ASSERT_TRUE(WIFEXITED(status)) << signal;
    EXPECT_EQ(WEXITSTATUS(status), 1) << signal;
    EXPECT_NE(err.find("program interrupted!"), std::string::npos) << signal << err;
    // The simulated board checks where the port was left.
    EXPECT_EQ(err.find("not at rest"), std::string::npos) << signal << err;
    EXPECT_EQ(Slurp(Path("out.txt")).find("Device Programmed OK"), std::string::npos);
    ASSERT_TRUE(fs::exists(Path("chip.sim"))) << signal;
    // What was programmed before the signal is in the file.
    const RunResult r = Daraz("-p sim --sim-chip chip.sim read 27C080 -o back.bin");
    ASSERT_EQ(r.rc, 0) << signal << r.err;
    EXPECT_EQ(Slurp(Path("back.bin")).substr(0, 64), Slurp(Path("head.bin"))) << signal;
  }
}

// Every failing command tells why on stderr; with --json also as an object
// on stdout.
TEST_F(Files, ErrorsReachStderrAlsoWithJson) {
  Write("hello.hex", "hello world\n");
  WriteRandom("fw.bin", 8192, 7);
  const struct {
    const char* args;
    int rc;
    const char* error;
  } kCases[] = {
      {"--json -p sim program 27C64 hello.hex", 2, "No data records in hello.hex"},
      {"--json -p sim --sim-fault noboard program 27C64 fw.bin", 1,
       "Hardware Error :  Check Power && connection"},
      {"--json -p sim verify 27C64 fw.bin", 1, "Error at 0x000000"},
      {"--json info no-such-chip", 2, "No device is named"},
      {"--json read 27C64 --bogus", 2, "unknown option --bogus for read"},
      {"--json -p sim --yes read 27C64 --offset 1000000", 2, "--offset must be"},
  };
  for (const auto& c : kCases) {
    const RunResult r = Daraz(c.args);
    EXPECT_EQ(r.rc, c.rc) << c.args;
    EXPECT_NE(r.err.find(c.error), std::string::npos) << c.args << "\n" << r.err;
    const std::string tail = "\"exit\":" + std::to_string(c.rc) + "}\n";
    EXPECT_EQ(r.out.rfind("{\"error\":\"", 0), 0u) << c.args << "\n" << r.out;
    EXPECT_TRUE(r.out.ends_with(tail)) << c.args << "\n" << r.out;
    EXPECT_NE(r.out.find(c.error), std::string::npos) << c.args << "\n" << r.out;
  }
  // A value carries no padding of the status area.
  const RunResult crc = Daraz("--json checksum 27C64 fw.bin --crc32");
  EXPECT_NE(crc.out.find("\"value\":\"0x"), std::string::npos) << crc.out;
}

// The progress bar on a terminal: each phase ends at 100 % and is cleared
// before the next line; nothing stale is drawn again, and a text a routine
// sends twice is printed once.
TEST_F(Files, ProgressBarEndsFullAndIsCleared) {
  if (std::system("script --version > /dev/null 2>&1") != 0) GTEST_SKIP() << "no script";
  WriteRandom("fw.bin", 32768, 8);
  const std::string cmd = "cd '" + dir_.string() +
                          "' && script -qec \"'" DARAZ_CLI
                          "' -p sim program 27C256 fw.bin\" /dev/null > tty.txt 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  const std::string tty = Slurp(Path("tty.txt"));
  const size_t verifying = tty.find("Verifying chip\r\n");
  ASSERT_NE(verifying, std::string::npos) << tty;
  const std::string programming = tty.substr(0, verifying);
  const std::string last_frame = programming.substr(programming.rfind("\rprogramming chip"));
  EXPECT_NE(last_frame.find("] 100%"), std::string::npos) << last_frame;
  EXPECT_NE(last_frame.find("\r\033[K"), std::string::npos) << last_frame;  // cleared
  // After the verify caption, no frame of the programming bar.
  EXPECT_EQ(tty.find("\rprogramming chip", verifying), std::string::npos);
  const std::string verify_part =
      tty.substr(verifying, tty.find("Device Programmed OK") - verifying);
  EXPECT_NE(verify_part.find("] 100%"), std::string::npos);
  EXPECT_EQ(Count(tty, "Verifying chip\r\n"), 1u);
  EXPECT_EQ(Count(tty, "Device Programmed OK"), 1u);
}

// -v times each phase; a simulated run ends with its real-board time.
TEST_F(Files, PhaseTimesAndRealBoardTime) {
  WriteRandom("fw.bin", 8192, 9);
  const RunResult r = Daraz("-v -p sim program 27C64 fw.bin");
  ASSERT_EQ(r.rc, 0) << r.err;
  const size_t programming = r.out.find("programming chip: ");
  const size_t verifying = r.out.find("Verifying chip: ");
  ASSERT_NE(programming, std::string::npos) << r.out;
  ASSERT_NE(verifying, std::string::npos) << r.out;
  EXPECT_LT(programming, verifying);
  EXPECT_NE(r.out.find("on a real board)\n", programming), std::string::npos) << r.out;
  EXPECT_EQ(Count(r.out, "simulated: "), 1u);
  EXPECT_TRUE(r.out.ends_with(" on a real board\n")) << r.out;
  // Without -v: no phase times.
  EXPECT_EQ(Daraz("-p sim program 27C64 fw.bin").out.find("programming chip: "), std::string::npos);
}

// Names: the listed part of a caption, a unique start of one, and the
// list for an ambiguous one; Tag-0 items shown as what they are.
TEST_F(Files, DeviceNamesAndTheList) {
  RunResult r = Daraz("info 27C020");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_NE(r.out.find("Device:          27C020/2000/2001"), std::string::npos) << r.out;
  EXPECT_NE(r.err.find("note: \"27C020\" is taken for 27C020/2000/2001 (EPROM / 27Cxxx)"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(Daraz("-q info AT90S2313").err, "");

  r = Daraz("info W27C0");
  EXPECT_EQ(r.rc, 2);
  EXPECT_NE(r.err.find("\"EPROM Electrical Erase / Winbond 27E/27C / W27x040  (Vpe 14V)\""),
            std::string::npos)
      << r.err;

  // The ST item keeps the device chosen before it, and is listed so, not
  // with the size and family of the row above it.
  r = Daraz("devices 27C40");
  ASSERT_EQ(r.rc, 0);
  const size_t at = r.out.find("M27C4001");
  ASSERT_NE(at, std::string::npos) << r.out;
  const std::string line = r.out.substr(at, r.out.find('\n', at) - at);
  EXPECT_NE(line.find("EPROM / ST micro"), std::string::npos) << line;
  EXPECT_NE(line.find("keeps the current device"), std::string::npos) << line;
  EXPECT_EQ(line.find("bytes"), std::string::npos) << line;
  EXPECT_NE(r.out.find("27C400    "), std::string::npos) << r.out;  // the row before it
  r = Daraz("--json devices M27C4001");
  EXPECT_NE(r.out.find("\"keeps_current_device\":true"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("\"size\""), std::string::npos) << r.out;
}

}  // namespace
