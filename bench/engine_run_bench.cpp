// Times whole conversion runs the way the window does them (one record per read from the open
// tables) and the way pelmora-convert does them (tables read into memory once).
// Usage: pelmora-engine-run-bench TABLE_DIR [RUNS]   (the text comes from standard input)
// With RUNS, each reading converts the text RUNS times and prints the mean time of one run in
// microseconds: for a short text, what a conversion costs beyond its characters (opening,
// checking and closing the tables).
#include "conversion.h"
#include "string_text.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <string>

namespace {

class CountingReport final : public pelmora::ErrorReport {
public:
    void Show(std::string_view, std::string_view) override { ++shown; }
    int shown = 0;
};

double RunMilliseconds(const std::string& text, const std::filesystem::path& tables,
                       pelmora::TableReading reading, int& reports) {
    pelmora::testing::StringSource input(text);
    pelmora::testing::StringSink japanese;
    pelmora::testing::StringSink preview;
    pelmora::TablePaths paths;
    CountingReport report;
    const auto start = std::chrono::steady_clock::now();
    pelmora::ConvertText(pelmora::RunKind::PerCharacter, input, japanese, preview, paths,
                         {tables, reading}, report);
    const auto end = std::chrono::steady_clock::now();
    reports = report.shown;
    return std::chrono::duration<double, std::milli>(end - start).count();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: pelmora-engine-run-bench TABLE_DIR < text\n";
        return 2;
    }
    const std::string text((std::istreambuf_iterator<char>(std::cin)),
                           std::istreambuf_iterator<char>());
    const int runs = argc > 2 ? std::atoi(argv[2]) : 0;
    for (const auto& [name, reading] :
         {std::pair{"per-record reads", pelmora::TableReading::PerRecord},
          std::pair{"tables in memory", pelmora::TableReading::InMemory}}) {
        int reports = 0;
        if (runs > 0) {
            double total = 0;
            for (int run = 0; run < runs; ++run) {
                total += RunMilliseconds(text, argv[1], reading, reports);
            }
            std::printf("%-18s %9.1f us a run (mean of %d, %d reports)\n", name,
                        1000 * total / runs, runs, reports);
            continue;
        }
        double best = 1e300;
        for (int run = 0; run < 3; ++run) {
            best = std::min(best, RunMilliseconds(text, argv[1], reading, reports));
        }
        std::printf("%-18s %9.1f ms (best of 3, %d reports)\n", name, best, reports);
    }
    return 0;
}
