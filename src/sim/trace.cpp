#include "sim/trace.h"

#include <cctype>

#include "sim/trace_csv.h"
#include "sim/trace_file.h"
#include "sim/trace_vcd.h"

namespace sim {
namespace {

bool EndsWithVcd(const std::string& path) {
  if (path.size() < 4) return false;
  const std::string tail = path.substr(path.size() - 4);
  std::string lower;
  for (const char c : tail) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower == ".vcd";
}

}  // namespace

std::unique_ptr<TraceSink> OpenTraceFile(const std::string& path, std::string* error) {
  std::unique_ptr<TraceFile> file = TraceFile::Open(path, error);
  if (!file) return nullptr;
  if (EndsWithVcd(path)) return std::make_unique<VcdTraceSink>(std::move(file));
  return std::make_unique<CsvTraceSink>(std::move(file));
}

bool WriteTraceCsv(const std::vector<TraceEntry>& trace, const std::string& path) {
  std::unique_ptr<TraceFile> file = TraceFile::Open(path, nullptr);
  if (!file) return false;
  CsvTraceSink sink(std::move(file));
  for (const TraceEntry& entry : trace) sink.Record(entry, SocketSignals{});
  return sink.Finish(nullptr);
}

}  // namespace sim
