#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "hw/bus_fixture.h"
#include "sim/ram_chip.h"
#include "sim/trace.h"
#include "support/vcd_reader.h"

namespace {

namespace fs = std::filesystem;
using daraz_test::SimBus;
using daraz_test::VcdChange;
using daraz_test::VcdFile;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteAll(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// A fresh folder per test, removed afterwards.
class TraceFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string templ = (fs::temp_directory_path() / "daraz-trace-XXXXXX").string();
    ASSERT_NE(mkdtemp(templ.data()), nullptr);
    dir_ = templ;
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Path(const std::string& name) const { return (fs::path(dir_) / name).string(); }
  // What the folder holds, less the device nodes of Device().
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_)) {
      if (!e.is_character_file()) names.push_back(e.path().filename());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  // A device like /dev/null (minor 3) or /dev/full (minor 7). As root the
  // test makes its own node in its folder, so that a fault that renamed a
  // file over a device would hit the copy, not the machine's; anyone else
  // uses /dev itself, which they cannot replace. Empty when neither works.
  std::string Device(const char* name, unsigned minor) const {
    if (geteuid() != 0) return std::string("/dev/") + name;
    const std::string node = Path(name);
    if (mknod(node.c_str(), S_IFCHR | 0666, makedev(1, minor)) != 0) return "";
    return node;
  }

  std::string dir_;
};

// The program line's pulse: ProgramPulse(kPulseTicks) waits
// floor(123 x 838.1 ns) = 103086 ns between its two control writes, and the
// second write adds its own 1000 ns.
constexpr int kPulseTicks = 123;
constexpr int64_t kPulseNs = 103086 + 1000;

// Drives a RAM in the socket through one write and one read. The access
// times, worked out from the primitives' step lists at 1000 ns per access:
//   PowerUp: control 0x01 @1000; ShiftAddress(0): control @2000, data @3000,
//     16 clock writes @4000..19000; rest: control 0x01 @20000, data 0x04
//     @21000; DelayTicks(1000) = 838100 ns; power on, control 0x05 @860100;
//     3 x DelayTicks(20000) = 50286000 ns, to 51146100.
//   SetAddress(0x0A5C): control @51147100; ShiftAddress: control @51148100,
//     data 0x04 @51149100, then 7 pattern writes and 16 clocks (a write each
//     1000 ns); the eighth rising clock, which completes the address, is at
//     @51171100, its falling write @51172100.
//   PutData(0x3C): control 0x07 @51173100, bus byte 0x3C @51174100.
//   ProgramPulse(123): control 0x0F @51175100, wait 103086 ns, control 0x07
//     @51279186.
//   Release the bus: control 0x05 @51280186 (the RAM now drives 0x3C).
//   ReadDataByte: data 0x06 @51281186, 0x02 @51282186 (the load), 0x00
//     @51283186, 0x04 @51284186, status @51285186; 6 clock writes, status
//     @51292186; 6 more, status @51299186.
//   PowerDown: control @51300186, @51301186; ShiftAddress(0): control
//     @51302186, data @51303186, 16 clocks to 51319186; rest: control 0x01
//     (power off) @51320186, data @51321186; DelayTicks(10000) = 8381000 ns;
//     control 0x09 @59703186.
void ProgramAndRead(SimBus& s) {
  s.bus.PowerUp();
  s.bus.SetAddress(0x0A5C, 0);
  s.bus.PutData(0x3C, 0);
  s.bus.ProgramPulse(kPulseTicks);
  s.bus.SetCtrl(hw::ctrl::kDrive, false);
  s.bus.WriteCtrl();
  EXPECT_EQ(s.bus.ReadDataByte(), 0x3C);
  s.bus.PowerDown();
  EXPECT_EQ(s.board.violations(), std::vector<std::string>{});
}

// Runs the sequence with a trace file on the board; with `memory` the board
// keeps its in-memory trace too.
void RecordRun(SimBus& s, const std::string& path, bool memory = false) {
  s.board.InsertChip(std::make_unique<sim::RamChip>(0x10000));
  std::string error;
  const auto sink = sim::OpenTraceFile(path, &error);
  ASSERT_NE(sink, nullptr) << error;
  s.board.SetTraceSink(sink.get());
  s.board.EnableTrace(memory);
  ProgramAndRead(s);
  s.board.SetTraceSink(nullptr);
  ASSERT_TRUE(sink->Finish(&error)) << error;
}

// (time, value) pairs of a signal, vectors as numbers (-1 for x).
std::vector<std::pair<int64_t, int64_t>> Steps(const VcdFile& vcd, const char* name) {
  std::vector<std::pair<int64_t, int64_t>> steps;
  for (const VcdChange& c : vcd.Changes(name)) {
    const auto n = c.Number();
    steps.emplace_back(c.time, n ? static_cast<int64_t>(*n) : -1);
  }
  return steps;
}

int64_t At(const VcdFile& vcd, const char* name, int64_t time) {
  const auto v = vcd.ValueAt(name, time);
  if (!v) return -2;
  const auto n = v->Number();
  return n ? static_cast<int64_t>(*n) : -1;
}

TEST_F(TraceFileTest, VcdHeaderDeclaresEverySignal) {
  SimBus s;
  RecordRun(s, Path("run.vcd"));
  VcdFile vcd;
  std::string error;
  ASSERT_TRUE(vcd.Load(Path("run.vcd"), &error)) << error;
  EXPECT_EQ(vcd.timescale(), "1 ns");
  struct Expected {
    const char* name;
    const char* scope;
    int width;
    const char* range;
  };
  const Expected expected[] = {
      {"data_reg", "board", 8, "[7:0]"},      {"status_reg", "board", 8, "[7:0]"},
      {"control_reg", "board", 8, "[7:0]"},   {"address", "board.socket", 24, "[23:0]"},
      {"data", "board.socket", 8, "[7:0]"},   {"port_drives", "board.socket", 1, ""},
      {"chip_drives", "board.socket", 1, ""}, {"oe_n", "board.socket", 1, ""},
      {"ce_n", "board.socket", 1, ""},        {"pgm_n", "board.socket", 1, ""},
      {"vpp", "board.socket", 1, ""},         {"vcc", "board.socket", 1, ""},
      {"read_load", "board.socket", 1, ""},
  };
  ASSERT_EQ(vcd.vars().size(), std::size(expected));
  for (const Expected& e : expected) {
    const daraz_test::VcdVar* v = vcd.Find(e.name);
    ASSERT_NE(v, nullptr) << e.name;
    EXPECT_EQ(v->scope, e.scope) << e.name;
    EXPECT_EQ(v->width, e.width) << e.name;
    EXPECT_EQ(v->range, e.range) << e.name;
    // Every signal has its initial value in the dump at the first access.
    const auto changes = vcd.Changes(e.name);
    ASSERT_FALSE(changes.empty()) << e.name;
    EXPECT_EQ(changes.front().time, 1000) << e.name;
  }
}

TEST_F(TraceFileTest, VcdSignalsFollowTheStepLists) {
  SimBus s;
  RecordRun(s, Path("run.vcd"));
  VcdFile vcd;
  std::string error;
  ASSERT_TRUE(vcd.Load(Path("run.vcd"), &error)) << error;

  using Steps_ = std::vector<std::pair<int64_t, int64_t>>;
  EXPECT_EQ(Steps(vcd, "vcc"), (Steps_{{1000, 0}, {860100, 1}, {51320186, 0}}));
  EXPECT_EQ(Steps(vcd, "vpp"), (Steps_{{1000, 0}}));  // the strobe line never dropped

  // The program line: high from PowerUp's first write, one pulse, and low
  // again where PowerDown leaves it.
  const auto low = vcd.Pulses("pgm_n", '0');
  ASSERT_EQ(low.size(), 1u);
  EXPECT_EQ(low[0].start, 51175100);
  EXPECT_EQ(low[0].width(), kPulseNs);
  EXPECT_EQ(Steps(vcd, "pgm_n"), (Steps_{{1000, 1}, {51175100, 0}, {51279186, 1}, {59703186, 0}}));
  EXPECT_EQ(Steps(vcd, "ce_n"), Steps(vcd, "pgm_n"));

  // The address completes at the eighth rising clock, and PowerDown's shift
  // clears it again.
  EXPECT_EQ(At(vcd, "address", 51171100), 0x0A5C);
  EXPECT_NE(At(vcd, "address", 51171099), 0x0A5C);
  EXPECT_EQ(At(vcd, "address", 51300186), 0x0A5C);
  EXPECT_EQ(At(vcd, "address", 59703186), 0);

  // The bus: the RAM's erased byte once powered, the port's byte while it
  // drives, and the stored byte from the RAM once released.
  EXPECT_EQ(At(vcd, "data", 51172100), 0xFF);
  EXPECT_EQ(At(vcd, "chip_drives", 51172100), 1);
  EXPECT_EQ(At(vcd, "data", 51173100), 0x04);  // the data register, still the shift's
  EXPECT_EQ(At(vcd, "port_drives", 51173100), 1);
  EXPECT_EQ(At(vcd, "chip_drives", 51173100), 0);
  EXPECT_EQ(At(vcd, "oe_n", 51173100), 1);
  EXPECT_EQ(At(vcd, "data", 51174100), 0x3C);
  EXPECT_EQ(At(vcd, "port_drives", 51280186), 0);
  EXPECT_EQ(At(vcd, "chip_drives", 51280186), 1);
  EXPECT_EQ(At(vcd, "oe_n", 51280186), 0);
  EXPECT_EQ(At(vcd, "data", 51280186), 0x3C);
  EXPECT_EQ(Steps(vcd, "port_drives"), (Steps_{{1000, 0}, {51173100, 1}, {51280186, 0}}));
  EXPECT_EQ(Steps(vcd, "read_load"), (Steps_{{1000, 0}, {51282186, 1}, {51283186, 0}}));

  // The registers. Nothing writes the data register before 3000, and the
  // status register is known from its first read on.
  EXPECT_EQ(Steps(vcd, "status_reg"),
            (Steps_{{1000, -1}, {51285186, 0xEF}, {51292186, 0x8F}, {51299186, 0xFF}}));
  EXPECT_EQ(At(vcd, "data_reg", 1000), -1);
  EXPECT_EQ(At(vcd, "data_reg", 3000), 0x00);
  EXPECT_EQ(At(vcd, "data_reg", 51174100), 0x3C);
  EXPECT_EQ(At(vcd, "data_reg", 51282186), 0x02);
  EXPECT_EQ(At(vcd, "control_reg", 1000), 0x01);
  EXPECT_EQ(At(vcd, "control_reg", 860100), 0x05);
  EXPECT_EQ(At(vcd, "control_reg", 51175100), 0x0F);
  EXPECT_EQ(At(vcd, "control_reg", 51279186), 0x07);
  EXPECT_EQ(At(vcd, "control_reg", 59703186), 0x09);
  EXPECT_EQ(vcd.end_time(), 59703186);
}

TEST_F(TraceFileTest, VcdTimestampsOncePerTimeAndNeverBack) {
  SimBus s;
  s.board.SetAccessCost(0);
  std::string error;
  const auto sink = sim::OpenTraceFile(Path("same.VCD"), &error);
  ASSERT_NE(sink, nullptr) << error;
  s.board.SetTraceSink(sink.get());
  s.board.SetBase(0x278);
  s.bus.SetBase(0x278);
  s.bus.WriteCtrl();   // @0: control 0x01
  s.bus.WriteData();   // @0: data 0x00
  s.bus.ReadStatus();  // @0
  s.board.clock().Advance(500);
  s.board.PortOut(0x279, 0x55);  // the status register is read-only
  s.board.PortOut(0x37A, 0x0F);  // not this board's port
  s.bus.SetCtrl(hw::ctrl::kPower, true);
  s.bus.WriteCtrl();  // @500
  // A sink handed a time earlier than the last keeps the last.
  sink->Record({200, 0x278, true, 0x04}, s.board.Signals());
  s.board.SetTraceSink(nullptr);
  ASSERT_TRUE(sink->Finish(&error)) << error;

  VcdFile vcd;
  ASSERT_TRUE(vcd.Load(Path("same.VCD"), &error)) << error;
  EXPECT_EQ(vcd.timestamps(), (std::vector<int64_t>{0, 500}));
  using Steps_ = std::vector<std::pair<int64_t, int64_t>>;
  EXPECT_EQ(Steps(vcd, "control_reg"), (Steps_{{0, 0x01}, {500, 0x05}}));
  EXPECT_EQ(Steps(vcd, "status_reg").size(), 2u);
  EXPECT_EQ(Steps(vcd, "status_reg").back().first, 0);
  EXPECT_EQ(Steps(vcd, "data_reg"), (Steps_{{0, -1}, {0, 0x00}, {500, 0x04}}));
  EXPECT_EQ(Steps(vcd, "vcc"), (Steps_{{0, 0}, {500, 1}}));
}

TEST_F(TraceFileTest, CsvLinesEqualTheRecordedTrace) {
  SimBus s;
  RecordRun(s, Path("run.csv"), true);
  const std::vector<std::string> lines = Lines(ReadAll(Path("run.csv")));
  const auto& trace = s.board.trace();
  ASSERT_EQ(lines.size(), trace.size() + 1);
  EXPECT_EQ(lines[0], "time_ns,port,direction,value");
  EXPECT_EQ(lines[1], "1000,0x37A,out,0x01");
  EXPECT_EQ(lines[3], "3000,0x378,out,0x00");
  for (size_t i = 0; i < trace.size(); ++i) {
    char expected[64];
    std::snprintf(expected, sizeof expected, "%lld,0x%X,%s,0x%02X",
                  static_cast<long long>(trace[i].time_ns), trace[i].port,
                  trace[i].write ? "out" : "in", trace[i].value);
    ASSERT_EQ(lines[i + 1], expected) << "line " << i + 2;
  }
  const auto status = std::find(lines.begin(), lines.end(), "51285186,0x379,in,0xEF");
  EXPECT_NE(status, lines.end());
  EXPECT_EQ(lines.back(), "59703186,0x37A,out,0x09");

  // The writer for a trace kept in memory gives the same file.
  ASSERT_TRUE(sim::WriteTraceCsv(trace, Path("memory.csv")));
  EXPECT_EQ(ReadAll(Path("memory.csv")), ReadAll(Path("run.csv")));
  EXPECT_EQ(Entries(), (std::vector<std::string>{"memory.csv", "run.csv"}));
}

TEST_F(TraceFileTest, FormatChosenByTheName) {
  struct Case {
    const char* name;
    bool vcd;
  };
  // Names relative to the working folder, as a user types them.
  const fs::path before = fs::current_path();
  fs::current_path(dir_);
  for (const Case c :
       {Case{"a.vcd", true}, Case{"b.VcD", true}, Case{".vcd", true}, Case{"c.csv", false},
        Case{"d.vcd.csv", false}, Case{"vcd", false}, Case{"cd", false}, Case{"e.txt", false}}) {
    std::string error;
    auto sink = sim::OpenTraceFile(c.name, &error);
    ASSERT_NE(sink, nullptr) << error;
    ASSERT_TRUE(sink->Finish(&error)) << error;
    const std::string text = ReadAll(Path(c.name));
    EXPECT_EQ(text.find("$enddefinitions") != std::string::npos, c.vcd) << c.name;
    EXPECT_EQ(text == "time_ns,port,direction,value\n", !c.vcd) << c.name;
  }
  fs::current_path(before);
  EXPECT_EQ(Entries().size(), 8u);
}

// Records a few accesses through a sink on `path`.
bool WriteSome(const std::string& path, std::string* error, int accesses = 50) {
  auto sink = sim::OpenTraceFile(path, error);
  if (!sink) return false;
  for (int i = 0; i < accesses; ++i) {
    sink->Record({1000 * i, 0x378, true, static_cast<uint8_t>(i)}, sim::SocketSignals{});
  }
  return sink->Finish(error);
}

TEST_F(TraceFileTest, WriteErrorsReportedWithThePath) {
  const std::string full = Device("full", 7);
  if (full.empty()) GTEST_SKIP() << "no way to a full device here";
  std::string error;
  for (const std::string& path : {full, full + "/x.vcd"}) {
    EXPECT_FALSE(WriteSome(path, &error)) << path;
    EXPECT_NE(error.find(path), std::string::npos) << error;
  }
  ASSERT_FALSE(WriteSome(full, &error));
  EXPECT_NE(error.find(std::strerror(ENOSPC)), std::string::npos) << error;
  // A VCD sink too, whose header alone stays in the buffer until Finish;
  // the link to the device is written through, not replaced.
  fs::create_symlink(full, Path("full.vcd"));
  auto sink = sim::OpenTraceFile(Path("full.vcd"), &error);
  ASSERT_NE(sink, nullptr) << error;
  error.clear();
  EXPECT_FALSE(sink->Finish(&error));
  EXPECT_NE(error.find(Path("full.vcd")), std::string::npos) << error;
  EXPECT_TRUE(fs::is_symlink(Path("full.vcd")));
  EXPECT_TRUE(fs::is_character_file(full));
  // A folder that does not exist.
  EXPECT_EQ(sim::OpenTraceFile(Path("no/such/t.vcd"), &error), nullptr);
  EXPECT_NE(error.find(Path("no/such/t.vcd")), std::string::npos) << error;
  EXPECT_FALSE(sim::WriteTraceCsv({}, full));
}

TEST_F(TraceFileTest, SpecialFilesWrittenInPlace) {
  const std::string null = Device("null", 3);
  if (null.empty()) GTEST_SKIP() << "no way to a null device here";
  std::string error;
  EXPECT_TRUE(WriteSome(null, &error)) << error;
  EXPECT_TRUE(fs::is_character_file(null));

  const std::string fifo = Path("pipe.csv");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::string received;
  std::thread reader([&] { received = ReadAll(fifo); });
  const bool ok = WriteSome(fifo, &error, 3);
  reader.join();
  EXPECT_TRUE(ok) << error;
  EXPECT_EQ(received,
            "time_ns,port,direction,value\n0,0x378,out,0x00\n1000,0x378,out,0x01\n"
            "2000,0x378,out,0x02\n");
  EXPECT_EQ(Entries(), std::vector<std::string>{"pipe.csv"});

  // A descriptor alias (as /dev/stdout is) that leads to a regular file:
  // written through the descriptor, after what the file already holds.
  const std::string shared = Path("stdout.txt");
  WriteAll(shared, "earlier\n");
  const int fd = open(shared.c_str(), O_WRONLY | O_APPEND);
  ASSERT_GE(fd, 0);
  EXPECT_TRUE(WriteSome("/dev/fd/" + std::to_string(fd), &error, 1)) << error;
  EXPECT_EQ(ReadAll(shared), "earlier\ntime_ns,port,direction,value\n0,0x378,out,0x00\n");
  // The same through a relative link to a link to the descriptor.
  fs::create_symlink("/dev/fd/" + std::to_string(fd), Path("fd-link"));
  fs::create_symlink("fd-link", Path("alias.csv"));
  EXPECT_TRUE(WriteSome(Path("alias.csv"), &error, 1)) << error;
  close(fd);
  EXPECT_EQ(ReadAll(shared),
            "earlier\ntime_ns,port,direction,value\n0,0x378,out,0x00\n"
            "time_ns,port,direction,value\n0,0x378,out,0x00\n");
  EXPECT_EQ(Entries(),
            (std::vector<std::string>{"alias.csv", "fd-link", "pipe.csv", "stdout.txt"}));
}

TEST_F(TraceFileTest, ExistingFileReplacedOnlyOnSuccess) {
  const std::string path = Path("old.csv");
  WriteAll(path, "old trace\n");
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  std::string error;
  {
    // A run that ends without Finish leaves the old trace and no litter.
    auto sink = sim::OpenTraceFile(path, &error);
    ASSERT_NE(sink, nullptr) << error;
    for (int i = 0; i < 5000; ++i) sink->Record({i, 0x378, true, 0}, sim::SocketSignals{});
    EXPECT_EQ(ReadAll(path), "old trace\n");
    // Meanwhile the new trace grows beside it, hidden.
    const std::vector<std::string> names = Entries();
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0].rfind(".old.csv.", 0), 0u) << names[0];
    EXPECT_GT(fs::file_size(Path(names[0])), 0u);
  }
  EXPECT_EQ(ReadAll(path), "old trace\n");
  EXPECT_EQ(Entries(), std::vector<std::string>{"old.csv"});

  {
    // A write that fails (the file size limit stands in for a full disk).
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool ok = WriteSome(path, &error, 200);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, old_handler);
    EXPECT_FALSE(ok);
    EXPECT_NE(error.find(path), std::string::npos) << error;
  }
  EXPECT_EQ(ReadAll(path), "old trace\n");
  EXPECT_EQ(Entries(), std::vector<std::string>{"old.csv"});

  // Through a symbolic link: the file it points at is replaced, the link stays.
  fs::create_symlink("old.csv", Path("link.csv"));
  ASSERT_TRUE(WriteSome(Path("link.csv"), &error, 2)) << error;
  EXPECT_TRUE(fs::is_symlink(Path("link.csv")));
  EXPECT_EQ(ReadAll(path), "time_ns,port,direction,value\n0,0x378,out,0x00\n1000,0x378,out,0x01\n");
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);  // the old file's permissions
  EXPECT_EQ(Entries(), (std::vector<std::string>{"link.csv", "old.csv"}));

  // A name something else took while the run went on is left to it.
  auto sink = sim::OpenTraceFile(Path("taken.csv"), &error);
  ASSERT_NE(sink, nullptr) << error;
  ASSERT_EQ(mkfifo(Path("taken.csv").c_str(), 0600), 0);
  EXPECT_FALSE(sink->Finish(&error));
  EXPECT_NE(error.find(Path("taken.csv")), std::string::npos) << error;
  EXPECT_TRUE(fs::is_fifo(Path("taken.csv")));
  EXPECT_EQ(Entries(), (std::vector<std::string>{"link.csv", "old.csv", "taken.csv"}));

  // A link to a file not there yet is written through.
  fs::create_symlink("later.csv", Path("dangling.csv"));
  ASSERT_TRUE(WriteSome(Path("dangling.csv"), &error, 1)) << error;
  EXPECT_TRUE(fs::is_symlink(Path("dangling.csv")));
  EXPECT_EQ(ReadAll(Path("later.csv")), "time_ns,port,direction,value\n0,0x378,out,0x00\n");
  const mode_t mask = umask(0);
  umask(mask);
  ASSERT_EQ(stat(Path("later.csv").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0666u & ~mask);
}

TEST_F(TraceFileTest, LongTraceComesOutWhole) {
  // Far more than one buffer's worth: every line must arrive, in order.
  constexpr int kAccesses = 30000;
  std::string error;
  ASSERT_TRUE(WriteSome(Path("long.csv"), &error, kAccesses)) << error;
  const std::vector<std::string> lines = Lines(ReadAll(Path("long.csv")));
  ASSERT_EQ(lines.size(), kAccesses + 1u);
  for (int i = 0; i < kAccesses; ++i) {
    char expected[40];
    std::snprintf(expected, sizeof expected, "%d,0x378,out,0x%02X", 1000 * i, i & 0xFF);
    ASSERT_EQ(lines[i + 1], expected) << "line " << i + 2;
  }
}

}  // namespace
