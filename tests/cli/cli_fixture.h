#pragma once

// Runs the real `daraz` binary the way scripts do, each test in a folder of
// its own.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace cli_test {

namespace fs = std::filesystem;

struct RunResult {
  int rc = -1;
  std::string out;
  std::string err;
};

inline std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

class Cli : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("daraz-cli-" + std::to_string(::getpid()) + "-" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Runs daraz with `args` in the test's folder; stdin is not a terminal
  // (/dev/null, or the file `input`). Output goes to out.txt and err.txt.
  RunResult Daraz(const std::string& args, const std::string& input = "/dev/null") {
    const std::string cmd = "cd '" + dir_.string() + "' && '" DARAZ_CLI "' " + args + " < '" +
                            input + "' > out.txt 2> err.txt";
    RunResult r;
    const int status = std::system(cmd.c_str());
    r.rc = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = Slurp(dir_ / "out.txt");
    r.err = Slurp(dir_ / "err.txt");
    return r;
  }

  fs::path Path(const std::string& name) const { return dir_ / name; }
  static bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
  }

  void Write(const std::string& name, const std::string& content) {
    std::ofstream(Path(name), std::ios::binary) << content;
  }

  void WriteRandom(const std::string& name, size_t size, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<char> bytes(size);
    for (auto& b : bytes) b = static_cast<char>(rng());
    std::ofstream(Path(name), std::ios::binary).write(bytes.data(), bytes.size());
  }

  fs::path dir_;
};

// The simulated board with an 8 KB random image `fw.bin` in the folder, for
// the family command-line tests.
class SimCli : public Cli {
 protected:
  void SetUp() override {
    Cli::SetUp();
    WriteRandom("fw.bin", 0x2000, 3);
  }
  RunResult Daraz(const std::string& args) { return Cli::Daraz("-p sim " + args); }
  std::string Read(const std::string& name) const { return Slurp(Path(name)); }
};

}  // namespace cli_test
