#include "cli/report.h"

#include <cstdio>

#include "cli/json.h"

namespace cli {
namespace {

std::string& First() {
  static std::string first;
  return first;
}

std::string Trimmed(const std::string& text) {
  const size_t begin = text.find_first_not_of(" \t\r\n");
  if (begin == std::string::npos) return {};
  const size_t end = text.find_last_not_of(" \t\r\n");
  return text.substr(begin, end - begin + 1);
}

}  // namespace

void Error(const std::string& text) {
  std::fflush(stdout);
  std::fprintf(stderr, "daraz: %s\n", text.c_str());
  NoteError(text);
}

void NoteError(const std::string& text) {
  if (First().empty()) First() = Trimmed(text);
}

std::string FirstError() { return First(); }

int Exit(bool json, int rc) {
  if (json && rc != 0) {
    Json j;
    j.BeginObject()
        .Field("error", FirstError().empty() ? std::string("failed") : FirstError())
        .Field("exit", rc)
        .EndObject();
    std::printf("%s\n", j.str().c_str());
  }
  std::fflush(stdout);
  return rc;
}

}  // namespace cli
