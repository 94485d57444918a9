#include "cli/signals.h"

#include <csignal>

namespace cli {
namespace {

std::atomic<int>* g_cancel = nullptr;
volatile std::sig_atomic_t g_signals = 0;
constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void OnStopSignal(int signal) {
  if (g_signals > 0) {
    // Asked twice: the routine does not come to a progress step.
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    return;
  }
  g_signals = g_signals + 1;
  if (g_cancel != nullptr) g_cancel->store(1);
}

}  // namespace

void InstallSignalHandlers(std::atomic<int>& cancel) {
  g_cancel = &cancel;
  g_signals = 0;
  for (const int s : kStopSignals) std::signal(s, OnStopSignal);
  std::signal(SIGXFSZ, SIG_IGN);
}

void RemoveSignalHandlers() {
  for (const int s : kStopSignals) std::signal(s, SIG_DFL);
  g_cancel = nullptr;
}

bool Interrupted() { return g_signals > 0; }

void ReassertCancel() {
  if (g_signals > 0 && g_cancel != nullptr) g_cancel->store(1);
}

}  // namespace cli
