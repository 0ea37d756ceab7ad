// The gallery's start-up: from starting its process to its first painted main window, with the
// engine active against the same stored form with the engine switched off, in alternating rounds.
// The gallery signals a named event once its main window is painted and ends; it exits 2 when
// its window was not skinned (or unskinned) as asked, which fails the benchmark.
// Windows build, run under Wine by ./run bench:  startup_bench.exe PATH-TO-gallery.exe
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "best_time.h"

namespace {

using Clock = std::chrono::steady_clock;

// Seconds from process creation to the event; < 0 when the run failed.
double StartUp(const std::wstring& gallery, bool skinned, int round) {
  const std::wstring event = L"VexStartupBench" + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(round);
  HANDLE e = CreateEventW(nullptr, TRUE, FALSE, event.c_str());
  if (!e) return -1;
  std::wstring cmd = L"\"" + gallery + L"\" --first-paint " + event + (skinned ? L"" : L" --unskinned");
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  const auto start = Clock::now();
  if (!CreateProcessW(gallery.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    CloseHandle(e);
    return -1;
  }
  HANDLE both[2] = {e, pi.hProcess};
  const DWORD which = WaitForMultipleObjects(2, both, FALSE, 60000);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  // A gallery that never painted (or crashed into a debugger) is ended, not waited for.
  if (WaitForSingleObject(pi.hProcess, which == WAIT_OBJECT_0 ? 60000 : 0) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 3);
  WaitForSingleObject(pi.hProcess, 5000);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  CloseHandle(e);
  if (which != WAIT_OBJECT_0 || code != 0) {
    std::printf("  round %d (%s): the gallery %s (exit code %lu)\n", round, skinned ? "skinned" : "unskinned",
                which == WAIT_OBJECT_0 ? "painted a window not as asked" : which == WAIT_TIMEOUT ? "did not paint within a minute" : "ended before painting", code);
    return -1;
  }
  return seconds;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::printf("usage: startup_bench PATH-TO-gallery.exe\n");
    return 64;
  }
  const std::wstring gallery = argv[1];
  // One start of each, untimed: the system's own caches warm alike for both.
  StartUp(gallery, true, -1);
  StartUp(gallery, false, -2);
  vex::bench::TSeries on, off, ratio;
  bool valid = true;
  const int rounds = 20;
  for (int r = 0; r < rounds; ++r) {
    const bool skinnedFirst = r % 2 == 0;
    const double a = StartUp(gallery, skinnedFirst, 2 * r);
    const double b = StartUp(gallery, !skinnedFirst, 2 * r + 1);
    if (a < 0 || b < 0) {
      valid = false;
      continue;
    }
    const double skinned = skinnedFirst ? a : b, plain = skinnedFirst ? b : a;
    on.Add(skinned);
    off.Add(plain);
    ratio.Add(skinned / plain);
  }
  std::printf("  start to first painted main window, engine inactive  median %7.1f ms  best %7.1f ms\n", off.Median() * 1e3,
              off.Best() * 1e3);
  std::printf("  start to first painted main window, engine active    median %7.1f ms  best %7.1f ms\n", on.Median() * 1e3,
              on.Best() * 1e3);
  std::printf("  ratio active / inactive (per round)                  median %7.2f     best %7.2f\n", ratio.Median(), ratio.Best());
  const double ofMedians = off.Median() > 0 ? on.Median() / off.Median() : 0;
  std::printf("  ratio of the medians                                 %7.2f\n", ofMedians);
  vex::bench::Figure("gallery start-up to first painted window, engine active / inactive", vex::bench::Fixed(ofMedians),
                     "at most 1.2 (own)", valid && !ratio.Empty() && ofMedians <= 1.2);
  return valid ? 0 : 1;
}
