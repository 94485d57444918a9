#include "sim/trace_csv.h"

#include <algorithm>
#include <charconv>
#include <string_view>

namespace sim {
namespace {

constexpr char kHex[] = "0123456789ABCDEF";

char* PutHex(char* out, unsigned value, int min_digits) {
  int digits = 1;
  while (digits < 8 && (value >> (4 * digits)) != 0) ++digits;
  if (digits < min_digits) digits = min_digits;
  for (int i = digits - 1; i >= 0; --i) *out++ = kHex[(value >> (4 * i)) & 0xF];
  return out;
}

}  // namespace

CsvTraceSink::CsvTraceSink(std::unique_ptr<TraceFile> file) : file_(std::move(file)) {
  file_->Write("time_ns,port,direction,value\n");
}

void CsvTraceSink::Record(const TraceEntry& access, const SocketSignals&) {
  // Formatted by hand, in place: a trace of a large part has tens of
  // millions of lines.
  char* const start = file_->Reserve(64);
  char* p = std::to_chars(start, start + 24, access.time_ns).ptr;
  *p++ = ',';
  *p++ = '0';
  *p++ = 'x';
  p = PutHex(p, access.port, 1);
  const std::string_view direction = access.write ? ",out,0x" : ",in,0x";
  p = std::copy(direction.begin(), direction.end(), p);
  p = PutHex(p, access.value, 2);
  *p++ = '\n';
  file_->Commit(p);
}

}  // namespace sim
