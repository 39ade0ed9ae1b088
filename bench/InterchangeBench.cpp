// Importing vCard and CSV files as orvalen-tel does (read the file in one pass, keep its first
// contacts, enter them into the phone book), against the budget an input of its size may take:
// a second per 50 MB (a second at least), and at most 64 MiB of memory whatever the input.

#include "BenchTable.h"
#include "BookEditor.h"
#include "CodePage.h"
#include "ContactReader.h"
#include "HeadlessView.h"
#include "NameList.h"
#include "PhoneBookTransfer.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <malloc.h>
#include <unistd.h>

namespace orvalen::bench {
namespace {

namespace fs = std::filesystem;

constexpr const char* kMeasured = "measured_ns";
constexpr const char* kBudget = "budget_ns";
constexpr const char* kPeak = "peak_bytes";
constexpr const char* kInputSize = "input_bytes";
constexpr const char* kPeakBound = "peak_bound_bytes";
constexpr double kPeakBoundBytes = 64.0 * (1 << 20);

// The process's resident memory, now and at its peak since the last reset, in bytes.
std::size_t StatusBytes(const char* key) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with(key)) {
            std::istringstream fields(line.substr(std::string_view(key).size()));
            std::size_t kilobytes = 0;
            fields >> kilobytes;
            return kilobytes * 1024;
        }
    }
    return 0;
}

// Lets the peak start again from the present size (Linux: "5" to clear_refs).
bool ResetPeak() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return static_cast<bool>(clear);
}

// One input, written once to a file on the disk the user reads from.
struct Input {
    fs::path path;
    bool csv = false;
    std::size_t size = 0;
};

fs::path ScratchFolder() {
    const char* chosen = std::getenv("ORVALEN_BENCH_DIR");
    const fs::path base = chosen != nullptr ? fs::path(chosen) : fs::temp_directory_path();
    const fs::path folder = base / ("orvalen-interchange-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    return folder;
}

Input MakeInput(const std::string& name, const std::string& bytes) {
    static const fs::path folder = ScratchFolder();
    Input input{folder / name, name.ends_with(".csv"), bytes.size()};
    std::ofstream(input.path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return input;
}

// 10 MB of an address book's export: small cards, far more than the player holds.
std::string TenMegabyteVCard() {
    std::string bytes;
    for (int i = 0; bytes.size() < (10u << 20); ++i) {
        const std::string n = std::to_string(i);
        bytes += "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Contact " + n + "\r\nN:Contact;" + n +
                 ";;;\r\nTEL;TYPE=CELL:+86 138 " + n + "\r\nTEL;TYPE=HOME:010-" + n +
                 "\r\nEMAIL:contact" + n + "@example.com\r\nEND:VCARD\r\n";
    }
    return bytes;
}

// A name of 8 KB whose bytes are not valid in the character set the card names.
std::string InvalidValueVCard() {
    std::string value;
    for (int i = 0; i < 8192 / 2; ++i)
        value += "\xFF\x30";
    return "BEGIN:VCARD\r\nVERSION:2.1\r\nFN;CHARSET=GBK:" + value +
           "\r\nTEL;CELL:139\r\nEND:VCARD\r\n";
}

// A 100 KB name and 20,000 numbers in one card.
std::string ManyNumbersVCard() {
    std::string bytes = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:" + std::string(100000, 'N') + "\r\n";
    for (int i = 0; i < 20000; ++i)
        bytes += "TEL;TYPE=CELL:1380000" + std::to_string(10000 + i) + "\r\n";
    return bytes + "END:VCARD\r\n";
}

// A phone's export of 3,000 contacts with photos: 80 MB, nearly all of it base64 photo lines.
std::string PhotosVCard() {
    std::string bytes;
    const std::string photoLine = "\r\n " + std::string(74, 'Q');
    for (int i = 0; bytes.size() < (80u << 20); ++i) {
        const std::string n = std::to_string(i);
        bytes += "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Contact " + n + "\r\nTEL;TYPE=CELL:138" + n +
                 "\r\nPHOTO;ENCODING=b;TYPE=JPEG:" + std::string(46, 'P');
        for (int line = 0; line < 360; ++line)
            bytes += photoLine;
        bytes += "\r\nEND:VCARD\r\n";
    }
    return bytes;
}

std::string OneColumnCsv(std::size_t size) {
    std::string bytes = "Name\r\n";
    for (int i = 0; bytes.size() < size; ++i) {
        bytes += 'N';
        bytes += std::to_string(i);
        bytes += "\r\n";
    }
    return bytes;
}
std::string TenMegabyteCsv() {
    return OneColumnCsv(10u << 20);
}
std::string SixtyMegabyteCsv() {
    return OneColumnCsv(60u << 20);
}

std::string MinimalVCards() {
    std::string bytes;
    for (int i = 0; bytes.size() < (60u << 20); ++i)
        bytes += "BEGIN:VCARD\r\nFN:" + std::to_string(i) + "\r\nEND:VCARD\r\n";
    return bytes;
}

std::string EmptyLinesCsv() {
    std::string bytes = "Name,Mobile\r\n";
    bytes.append(50u << 20, '\n');
    return bytes;
}

// Times the whole import and measures the memory it takes at its peak.
void Import(benchmark::State& state, const Input& input, double budgetSeconds) {
    testing::CHeadlessView view;
    const CCodePage codePage("GBK");
    std::vector<double> seconds;
    std::size_t peak = 0;
    bool resettable = true;
    for (auto _ : state) {
        CMemoryNameList list;
        CBookEditor editor(list, view);
        // Memory freed earlier and still resident would hide what this import takes.
        malloc_trim(0);
        resettable = ResetPeak() && resettable;
        const std::size_t before = StatusBytes("VmRSS:");
        const auto start = std::chrono::steady_clock::now();
        {
            ReadOptions options;
            options.userCodePage = codePage.Name();
            const InterchangeRead read = ReadContacts(input.path, options);
            if (read.status.Kind() != StatusKind::ok &&
                read.status.Kind() != StatusKind::malformed &&
                read.status.Kind() != StatusKind::encoding) {
                state.SkipWithError("the input could not be read");
                break;
            }
            if (!read.IsRefused())
                FillPhoneBook(editor, read.contacts, codePage, false);
            benchmark::DoNotOptimize(read.contacts.data());
        }
        const double spent =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        seconds.push_back(spent);
        state.SetIterationTime(spent);
        const std::size_t high = StatusBytes("VmHWM:");
        peak = std::max(peak, high > before ? high - before : 0);
    }
    if (!resettable)
        state.SkipWithError("the peak memory cannot be reset on this system");
    if (seconds.empty())
        return;
    state.counters[kMeasured] = Median(seconds) * 1e9;
    state.counters[kBudget] = budgetSeconds * 1e9;
    state.counters[kPeak] = static_cast<double>(peak);
    state.counters[kInputSize] = static_cast<double>(input.size);
    state.counters[kPeakBound] = kPeakBoundBytes;
}

struct Case {
    const char* name;
    const char* figure;
    std::string (*make)();
    const char* file;
    double budgetSeconds;
};

// A second per 50 MB, a second at least.
const Case kCases[] = {
    {"Import/vcard_10MB", "10 MB vCard, 50,000 cards", TenMegabyteVCard, "ten.vcf", 1.0},
    {"Import/invalid_8KB", "8 KB value invalid in its set", InvalidValueVCard, "invalid.vcf", 1.0},
    {"Import/numbers_20000", "card with 20,000 numbers", ManyNumbersVCard, "numbers.vcf", 1.0},
    {"Import/empty_lines_50MB", "50 MB of empty lines (.csv)", EmptyLinesCsv, "empty.csv", 1.0},
    {"Import/photos_80MB", "80 MB export, 3,000 photos", PhotosVCard, "photos.vcf", 1.6},
    {"Import/csv_10MB", "10 MB one-column CSV", TenMegabyteCsv, "ten.csv", 1.0},
    {"Import/csv_60MB", "60 MB one-column CSV", SixtyMegabyteCsv, "sixty.csv", 1.2},
    {"Import/minimal_vcards_60MB", "60 MB minimal vCards", MinimalVCards, "minimal.vcf", 1.2},
};

void Register() {
    for (const Case& c : kCases) {
        const Input input = MakeInput(c.file, c.make());
        benchmark::RegisterBenchmark(c.name,
                                     [input, budget = c.budgetSeconds](benchmark::State& state) {
                                         Import(state, input, budget);
                                     })
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(2)
            ->Repetitions(5);
    }
}

void Tabulate(const CMedianReporter& medians, CFloorTable& table) {
    for (const Case& c : kCases) {
        const std::string figure = c.figure;
        table.AddCounterPair(medians, figure + ", time vs budget", c.name, kMeasured, kBudget,
                             Unit::time, 1.0);
        // Bounded whatever the input: the contacts kept, a chunk, a line. A few kilobytes are
        // below what the system's page counts can tell.
        if (std::string_view(c.name) == "Import/invalid_8KB")
            continue;
        table.AddCounterPair(medians, figure + ", peak memory vs 64 MiB", c.name, kPeak, kPeakBound,
                             Unit::bytes, 1.0);
    }
}

} // namespace
} // namespace orvalen::bench

int main(int argc, char** argv) {
    orvalen::bench::Register();
    const int status = orvalen::bench::RunAndTabulate(argc, argv, orvalen::bench::Tabulate);
    std::error_code error;
    std::filesystem::remove_all(orvalen::bench::ScratchFolder(), error);
    return status;
}
