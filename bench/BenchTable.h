#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvalen::bench {

// Shows the benchmarks' medians as usual and keeps them, by name, for the table.
class CMedianReporter final : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override;

    // The median over the repetitions of a counter of the benchmark registered under name.
    std::optional<double> MedianCounter(const std::string& name, const std::string& counter) const;

private:
    std::map<std::string, std::map<std::string, double>> m_medians;
};

// The times of one repetition's iterations. Their median, not their mean, goes to the table: on
// a shared machine one preemption or one slow disk flush would swamp a mean.
class CSamples {
public:
    static constexpr const char* kCounter = "median_ns";

    explicit CSamples(benchmark::State& state);
    ~CSamples();
    CSamples(const CSamples&) = delete;
    CSamples& operator=(const CSamples&) = delete;

    // Records one iteration's time, also as the benchmark's manual time.
    void Add(double seconds);

    // Times work() and records it.
    template <typename Work> void Time(Work&& work) {
        const auto start = std::chrono::steady_clock::now();
        work();
        Add(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }

private:
    benchmark::State& m_state;
    std::vector<double> m_seconds;
};

// A measured figure and its floor timed in turn in every iteration, each first every other time,
// so that both meet the same machine at the same moment: a disk that flushes slowly for a few
// seconds, or another program's build, weighs on both alike. Their medians go to the table.
class CPairedSamples {
public:
    static constexpr const char* kMeasured = "measured_ns";
    static constexpr const char* kFloor = "floor_ns";

    explicit CPairedSamples(benchmark::State& state);
    ~CPairedSamples();
    CPairedSamples(const CPairedSamples&) = delete;
    CPairedSamples& operator=(const CPairedSamples&) = delete;

    template <typename Measured, typename Floor> void Time(Measured&& measured, Floor&& floor) {
        double measuredSeconds = 0;
        double floorSeconds = 0;
        if (m_floorFirst) {
            floorSeconds = Seconds(floor);
            measuredSeconds = Seconds(measured);
        } else {
            measuredSeconds = Seconds(measured);
            floorSeconds = Seconds(floor);
        }
        m_floorFirst = !m_floorFirst;
        Add(measuredSeconds, floorSeconds);
    }

private:
    template <typename Work> static double Seconds(Work& work) {
        const auto start = std::chrono::steady_clock::now();
        work();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    void Add(double measured, double floor);

    benchmark::State& m_state;
    std::vector<double> m_measured;
    std::vector<double> m_floor;
    bool m_floorFirst = false;
};

enum class Unit { time, bytes };

// One line of the table: a figure, what it measured, its floor, and the goal for their ratio.
struct Row {
    std::string figure;
    double measured = 0;
    double floor = 0;
    double goal = 0;
    Unit unit = Unit::time;
    bool missing = false; // a benchmark did not report; the row fails

    double Ratio() const { return floor > 0 ? measured / floor : 0; }
    bool Meets() const { return !missing && floor > 0 && Ratio() <= goal; }
};

// The rows of one program.
class CFloorTable {
public:
    // Measured and floor are the medians of two benchmarks' CSamples.
    void AddTimes(const CMedianReporter& medians, std::string figure, const std::string& measured,
                  const std::string& floor, double goal);
    // Measured and floor are the medians of one benchmark's CPairedSamples.
    void AddPaired(const CMedianReporter& medians, std::string figure, const std::string& name,
                   double goal);
    // Measured and floor are the medians of two counters of one benchmark.
    void AddCounterPair(const CMedianReporter& medians, std::string figure, const std::string& name,
                        const std::string& measuredCounter, const std::string& floorCounter,
                        Unit unit, double goal);
    // Measured and floor are medians of a counter of two benchmarks.
    void AddCounters(const CMedianReporter& medians, std::string figure,
                     const std::string& measured, const std::string& floor,
                     const std::string& counter, Unit unit, double goal);

    // Prints the table; appends its lines as tab-separated values to tsvPath when given.
    // Returns whether every ratio is at or under its goal.
    bool Print(const std::string& tsvPath) const;

private:
    std::vector<Row> m_rows;
};

// Runs the registered benchmarks: repetitions of different benchmarks interleaved at random,
// so that slow drifts of a shared machine fall on measured figures and floors alike.
// Understands --table=<file> besides Google Benchmark's own flags. Returns the exit code.
int RunAndTabulate(int argc, char** argv, void (*tabulate)(const CMedianReporter&, CFloorTable&));

// The middle value (the upper of the two middle ones for an even count); 0 for none.
double Median(std::vector<double> values);

// Formats a figure for the table: 12.3 us, 4.56 ms, 38.2 MiB.
std::string Format(double value, Unit unit);

} // namespace orvalen::bench
