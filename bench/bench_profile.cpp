// Loading a large profile: sections and keys are indexed, so a profile of
// 80,000 keys (1 MB) and one of 10 MB load in time linear in their size.
#include <benchmark/benchmark.h>

#include <string>

#include "host/profile/ini_profile.h"

namespace {

// keys settings of about 13 bytes each, 100 to a section.
std::string profile_text(int keys) {
  std::string text;
  for (int k = 0; k < keys; ++k) {
    if (k % 100 == 0) text += "[Section" + std::to_string(k / 100) + "]\n";
    text += "key" + std::to_string(k % 100) + "=" + std::to_string(k) + "\n";
  }
  return text;
}

void BM_LoadProfile(benchmark::State& state) {
  const std::string text = profile_text(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    qualty::IniProfile p;
    benchmark::DoNotOptimize(p.load_text(text));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
  state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_LoadProfile)->Arg(80'000)->Arg(800'000)->Unit(benchmark::kMillisecond);

// One key per section: 10^6 sections.
void BM_LoadProfileOfAMillionSections(benchmark::State& state) {
  std::string text;
  for (int s = 0; s < 1'000'000; ++s) text += "[S" + std::to_string(s) + "]\nk=1\n";
  for (auto _ : state) {
    qualty::IniProfile p;
    benchmark::DoNotOptimize(p.load_text(text));
  }
  state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_LoadProfileOfAMillionSections)->Unit(benchmark::kMillisecond);

}  // namespace
