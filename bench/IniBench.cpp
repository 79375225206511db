// Start-up reads of a large settings file: many keys read one after another.

#include "IniFiles.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

// About 25 MB: many sections of many keys, with the program's own section last.
std::string MakeLargeSettings() {
    char name[] = "/tmp/varnholt_ini_bench_XXXXXX";
    const int fd = ::mkstemp(name);
    if (fd >= 0) ::close(fd);
    std::ofstream out(name, std::ios::binary);
    for (int s = 0; s < 5000; ++s) {
        out << "[Section" << s << "]\r\n";
        for (int k = 0; k < 100; ++k) out << "Key" << k << "=some value of moderate length " << k << "\r\n";
    }
    out << "[Program]\r\n";
    for (int k = 0; k < 300; ++k) out << "Setting" << k << "=" << k << "\r\n";
    return name;
}

void BM_ThreeHundredKeyReadsOfA25MBSettingsFile(benchmark::State& state) {
    const std::string path = MakeLargeSettings();
    TIniFile ini(path);
    for (auto _ : state) {
        long sum = 0;
        for (int k = 0; k < 300; ++k) sum += ini.ReadInteger("Program", "Setting" + std::to_string(k), 0);
        benchmark::DoNotOptimize(sum);
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_ThreeHundredKeyReadsOfA25MBSettingsFile)->Unit(benchmark::kMillisecond);

}  // namespace
