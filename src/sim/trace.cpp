#include "sim/trace.h"

#include <cstdio>
#include <filesystem>
#include <memory>

namespace sim {

bool WriteTraceCsv(const std::vector<TraceEntry>& trace, const std::string& path) {
  const std::string tmp = path + ".tmp";
  {
    std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(tmp.c_str(), "w"), &std::fclose);
    if (!f) return false;
    std::fputs("time_ns,port,direction,value\n", f.get());
    for (const auto& e : trace) {
      std::fprintf(f.get(), "%lld,0x%X,%s,0x%02X\n", static_cast<long long>(e.time_ns), e.port,
                   e.write ? "out" : "in", e.value);
    }
    if (std::fflush(f.get()) != 0 || std::ferror(f.get())) return false;
  }
  std::error_code ec;
  std::filesystem::rename(tmp, path, ec);
  return !ec;
}

}  // namespace sim
