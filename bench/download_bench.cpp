// The program's own transfer of a package from a local server, through the
// headless host: the window, the gauge, the labels and the message dispatch
// after every piece, as in a real attempt. bench/download_bench.sh starts the
// server, sets VORLIX_BENCH_HOST (host:port) and compares with curl.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "app/Main.h"
#include "framework/Application.h"
#include "platform/System.h"
#include "platform/Window.h"

namespace {

// Peak resident memory of this process in KiB (0 where the system cannot tell).
long PeakRssKiB() {
  std::ifstream f("/proc/self/status");
  std::string line;
  while (std::getline(f, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  return 0;
}

void BM_ProgramTransfer(benchmark::State& state) {
  const char* host = std::getenv("VORLIX_BENCH_HOST");
  if (!host || !*host) {
    state.SkipWithError("set VORLIX_BENCH_HOST to the package server's host:port");
    return;
  }
  platform::SetBackend(platform::Backend::Headless);
  SetDownloadHost(host);
  if (const char* dir = std::getenv("VORLIX_BENCH_TMP")) SetTempDirectoryOverride(dir);
  int launched = 0;
  SetShellOpen([&](uintptr_t, const std::string&) { ++launched; });
  int64_t bytes = 0;
  for (auto _ : state) {
    TApplication app;
    TMain_Form* form = app.CreateForm<TMain_Form>();
    form->Show();
    app.ProcessMessages();
    const int before = launched;
    form->Nx1Click(form->Nx1);
    if (launched != before + 1) {
      state.SkipWithError("the download did not complete");
      break;
    }
    bytes += form->Gauge->MaxValue();
    platform::RemoveFile(form->TargetPath());
  }
  state.SetBytesProcessed(bytes);
  state.counters["peak_rss_kib"] = static_cast<double>(PeakRssKiB());
  SetShellOpen(nullptr);
}
BENCHMARK(BM_ProgramTransfer)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(3);

}  // namespace
