// Times the line check against the triple-by-triple scan on the same seeded boards.
#include "line_check.h"
#include "plain_line_scan.h"
#include "positions.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

using namespace virurad;
using namespace support;

namespace {

// A mix of what players produce: sparse winning positions, crowded losing ones, all sizes.
const std::vector<ChipBoard> &sampleBoards()
{
    static const std::vector<ChipBoard> boards = [] {
        std::mt19937 rng(7);
        std::vector<ChipBoard> result;
        for (int size : {5, 10, 15, 20, 25})
            for (double density : {0.05, 0.1, 0.2, 0.4})
                result.push_back(randomBoard(rng, size, density));
        return result;
    }();
    return boards;
}

template <bool (*Check)(const ChipBoard &)> void runOverSamples(benchmark::State &state)
{
    for (auto _ : state)
        for (const ChipBoard &board : sampleBoards())
            benchmark::DoNotOptimize(Check(board));
    state.SetItemsProcessed(state.iterations() * std::int64_t(sampleBoards().size()));
}

void BM_PlainScan(benchmark::State &state)
{
    runOverSamples<plainLineScan>(state);
}
void BM_HasLineOfThree(benchmark::State &state)
{
    runOverSamples<HasLineOfThree>(state);
}

// The console report, plus the ratio of the two checks' CPU times at the end.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs)
            if (run.run_type == Run::RT_Iteration)
                m_cpuTime[run.run_name.function_name] = run.GetAdjustedCPUTime();
    }

    void printRatio() const
    {
        const auto fast = m_cpuTime.find("BM_HasLineOfThree");
        const auto plain = m_cpuTime.find("BM_PlainScan");
        if (fast != m_cpuTime.end() && plain != m_cpuTime.end())
            std::printf("HasLineOfThree / plain scan CPU time: %.4f (%.1fx faster)\n",
                        fast->second / plain->second, plain->second / fast->second);
    }

  private:
    std::map<std::string, double> m_cpuTime;
};

} // namespace

BENCHMARK(BM_PlainScan);
BENCHMARK(BM_HasLineOfThree);

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    reporter.printRatio();
}
