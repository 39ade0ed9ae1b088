#include "BenchTable.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string_view>

namespace orvalen::bench {
namespace {

std::string Key(const benchmark::BenchmarkReporter::Run& run) {
    std::string key = run.run_name.function_name;
    if (!run.run_name.args.empty())
        key += "/" + run.run_name.args;
    return key;
}

std::string Printf(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

} // namespace

double Median(std::vector<double> values) {
    if (values.empty())
        return 0;
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

CSamples::CSamples(benchmark::State& state) : m_state(state) {
    m_seconds.reserve(static_cast<std::size_t>(state.max_iterations));
}

CSamples::~CSamples() {
    if (!m_seconds.empty())
        m_state.counters[kCounter] = Median(m_seconds) * 1e9;
}

void CSamples::Add(double seconds) {
    m_seconds.push_back(seconds);
    m_state.SetIterationTime(seconds);
}

CPairedSamples::CPairedSamples(benchmark::State& state) : m_state(state) {
    m_measured.reserve(static_cast<std::size_t>(state.max_iterations));
    m_floor.reserve(static_cast<std::size_t>(state.max_iterations));
}

CPairedSamples::~CPairedSamples() {
    if (m_measured.empty())
        return;
    m_state.counters[kMeasured] = Median(m_measured) * 1e9;
    m_state.counters[kFloor] = Median(m_floor) * 1e9;
}

void CPairedSamples::Add(double measured, double floor) {
    m_measured.push_back(measured);
    m_floor.push_back(floor);
    m_state.SetIterationTime(measured + floor);
}

void CMedianReporter::ReportRuns(const std::vector<Run>& runs) {
    for (const Run& run : runs) {
        if (run.run_type != Run::RT_Aggregate || run.aggregate_name != "median" ||
            run.error_occurred)
            continue;
        auto& counters = m_medians[Key(run)];
        for (const auto& [name, counter] : run.counters)
            counters[name] = counter.value;
    }
    ConsoleReporter::ReportRuns(runs);
}

std::optional<double> CMedianReporter::MedianCounter(const std::string& name,
                                                     const std::string& counter) const {
    const auto found = m_medians.find(name);
    if (found == m_medians.end())
        return std::nullopt;
    const auto value = found->second.find(counter);
    if (value == found->second.end())
        return std::nullopt;
    return value->second;
}

void CFloorTable::AddTimes(const CMedianReporter& medians, std::string figure,
                           const std::string& measured, const std::string& floor, double goal) {
    AddCounters(medians, std::move(figure), measured, floor, CSamples::kCounter, Unit::time, goal);
}

void CFloorTable::AddPaired(const CMedianReporter& medians, std::string figure,
                            const std::string& name, double goal) {
    AddCounterPair(medians, std::move(figure), name, CPairedSamples::kMeasured,
                   CPairedSamples::kFloor, Unit::time, goal);
}

void CFloorTable::AddCounterPair(const CMedianReporter& medians, std::string figure,
                                 const std::string& name, const std::string& measuredCounter,
                                 const std::string& floorCounter, Unit unit, double goal) {
    const auto m = medians.MedianCounter(name, measuredCounter);
    const auto f = medians.MedianCounter(name, floorCounter);
    m_rows.push_back({std::move(figure), m.value_or(0), f.value_or(0), goal, unit, !m || !f});
}

void CFloorTable::AddCounters(const CMedianReporter& medians, std::string figure,
                              const std::string& measured, const std::string& floor,
                              const std::string& counter, Unit unit, double goal) {
    const auto m = medians.MedianCounter(measured, counter);
    const auto f = medians.MedianCounter(floor, counter);
    m_rows.push_back({std::move(figure), m.value_or(0), f.value_or(0), goal, unit, !m || !f});
}

std::string Format(double value, Unit unit) {
    if (unit == Unit::bytes)
        return Printf("%.1f MiB", value / (1024.0 * 1024.0));
    if (value >= 1e6)
        return Printf("%.2f ms", value / 1e6);
    if (value >= 1e3)
        return Printf("%.2f us", value / 1e3);
    return Printf("%.0f ns", value);
}

bool CFloorTable::Print(const std::string& tsvPath) const {
    std::size_t width = 6;
    for (const Row& row : m_rows)
        width = std::max(width, row.figure.size());

    std::printf("\n%-*s  %12s  %12s  %7s  %8s\n", static_cast<int>(width), "figure", "measured",
                "floor", "ratio", "goal");
    bool all = true;
    std::ofstream tsv;
    if (!tsvPath.empty())
        tsv.open(tsvPath, std::ios::app);
    for (const Row& row : m_rows) {
        const std::string measured = row.missing ? "missing" : Format(row.measured, row.unit);
        const std::string floor = row.missing ? "missing" : Format(row.floor, row.unit);
        const std::string ratio = Printf("%.2fx", row.Ratio());
        const std::string goal = Printf("<=%.2fx", row.goal);
        const char* verdict = row.Meets() ? "" : "  ABOVE GOAL";
        std::printf("%-*s  %12s  %12s  %7s  %8s%s\n", static_cast<int>(width), row.figure.c_str(),
                    measured.c_str(), floor.c_str(), ratio.c_str(), goal.c_str(), verdict);
        if (tsv)
            tsv << row.figure << '\t' << measured << '\t' << floor << '\t' << ratio << '\t' << goal
                << '\t' << (row.Meets() ? "ok" : "ABOVE") << '\n';
        all = all && row.Meets();
    }
    std::fflush(stdout);
    return all;
}

int RunAndTabulate(int argc, char** argv, void (*tabulate)(const CMedianReporter&, CFloorTable&)) {
    constexpr std::string_view kTableFlag = "--table=";
    std::string tsvPath;
    // Defaults first, so that flags given on the command line win.
    std::vector<std::string> storage = {argc > 0 ? argv[0] : "bench",
                                        "--benchmark_enable_random_interleaving=true",
                                        "--benchmark_display_aggregates_only=true"};
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg.starts_with(kTableFlag))
            tsvPath = arg.substr(kTableFlag.size());
        else
            storage.emplace_back(arg);
    }
    std::vector<char*> args;
    for (std::string& arg : storage)
        args.push_back(arg.data());
    args.push_back(nullptr);
    int count = static_cast<int>(storage.size());

    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 2;
    CMedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    CFloorTable table;
    tabulate(reporter, table);
    return table.Print(tsvPath) ? 0 : 1;
}

} // namespace orvalen::bench
