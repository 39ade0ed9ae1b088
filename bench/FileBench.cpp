// The file commands and the editing commands against what the machine allows.

#include "BenchTable.h"
#include "DeviceBookFile.h"
#include "HeadlessView.h"
#include "NameCollation.h"
#include "NameList.h"
#include "SampleBook.h"
#include "TextReport.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace orvalen::bench {
namespace {

namespace fs = std::filesystem;

// A folder for the files the benchmarks write, on the disk the user saves to.
class CScratchFolder {
public:
    CScratchFolder() {
        const char* chosen = std::getenv("ORVALEN_BENCH_DIR");
        const fs::path base = chosen != nullptr ? fs::path(chosen) : fs::temp_directory_path();
        m_path = base / ("orvalen-bench-" + std::to_string(::getpid()));
        fs::create_directories(m_path);
    }
    ~CScratchFolder() {
        std::error_code error;
        fs::remove_all(m_path, error);
    }
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;

    fs::path operator/(std::string_view name) const { return m_path / name; }

private:
    fs::path m_path;
};

// A phone book of 200 contacts, and its file and report as the commands write them.
struct FullBook {
    CScratchFolder folder;
    CMemoryNameList list;
    testing::CHeadlessView view;
    CBookEditor editor{list, view};
    std::string telBytes;
    std::string reportBytes;
    fs::path telFile = folder / "full.tel";

    FullBook() {
        AddAll(editor, view, SampleContacts(kMaxContacts));
        if (const auto image = CDeviceBookFile::BuildImage(editor))
            telBytes = *image;
        if (const auto report = CTextReport::Build(editor))
            reportBytes = *report;
        std::ofstream(telFile, std::ios::binary)
            .write(telBytes.data(), static_cast<std::streamsize>(telBytes.size()));
    }
};

FullBook& Book() {
    static FullBook book;
    return book;
}

bool Failed(benchmark::State& state, const testing::CHeadlessView& view) {
    if (view.messages.empty())
        return false;
    state.SkipWithError(("the command said: " + view.messages.front().text).c_str());
    return true;
}

// "Load" of the full file once the user has chosen it, against opening and reading the same
// bytes with the C library (the raw read). Opening the chooser (and looking for the player's
// drive for it) is left out: the user's own choosing takes seconds beside it.
void Load(benchmark::State& state) {
    FullBook& book = Book();
    CMemoryNameList list;
    testing::CHeadlessView view;
    CBookEditor editor(list, view);
    std::vector<char> buffer(CDeviceBookFile::kFileSize);
    std::size_t read = 0;
    CPairedSamples samples(state);
    for (auto _ : state) {
        samples.Time([&] { CDeviceBookFile::LoadFrom(editor, book.telFile); },
                     [&] {
                         if (std::FILE* file = std::fopen(book.telFile.c_str(), "rb")) {
                             read = std::fread(buffer.data(), 1, buffer.size(), file);
                             std::fclose(file);
                         }
                     });
        benchmark::DoNotOptimize(buffer.data());
    }
    if (read != buffer.size())
        state.SkipWithError("the floor could not read the file");
    else if (!Failed(state, view) && editor.Table().Count() != kMaxContacts)
        state.SkipWithError("the file did not load 200 contacts");
}

// The whole durable replace: creates a temporary file in the target's folder, writes the bytes,
// flushes them, renames the file over the target and flushes the folder. What a save that
// survives a pulled cable cannot do without.
bool WriteFloor(const fs::path& temporary, const fs::path& target, const std::string& bytes) {
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    bool ok = ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()) &&
              ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!ok || std::rename(temporary.c_str(), target.c_str()) != 0)
        return false;
    const int folder = ::open(target.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return false;
    ok = ::fsync(folder) == 0;
    return ::close(folder) == 0 && ok;
}

// Presses a save button, the file chooser answering a file in the scratch folder, against the
// floor for the same bytes beside it.
void Save(benchmark::State& state, void (*command)(CBookEditor&), const std::string& bytes,
          std::string_view name) {
    FullBook& book = Book();
    const fs::path target = book.folder / name;
    const fs::path floorTarget = book.folder / ("floor-" + std::string(name));
    const fs::path floorTemporary = book.folder / ("floor-" + std::string(name) + ".tmp");
    bool floorWritten = true;
    CPairedSamples samples(state);
    for (auto _ : state) {
        book.view.chosenFiles.emplace_back(target);
        samples.Time([&] { command(book.editor); },
                     [&] { floorWritten = WriteFloor(floorTemporary, floorTarget, bytes); });
        book.view.choosers.clear();
        if (!floorWritten) {
            state.SkipWithError("the floor could not write its file");
            break;
        }
    }
    Failed(state, book.view);
}

void SaveTel(benchmark::State& state) {
    Save(state, CDeviceBookFile::Save, Book().telBytes, "book.tel");
}

void SaveReport(benchmark::State& state) {
    Save(state, CTextReport::SaveAs, Book().reportBytes, "book.txt");
}

// "Add >>" of range(0) contacts into an empty phone book; a sample is the time per command.
void AddPerCommand(benchmark::State& state) {
    const auto contacts = SampleContacts(static_cast<int>(state.range(0)));
    CMemoryNameList list;
    testing::CHeadlessView view;
    CBookEditor editor(list, view);
    CSamples samples(state);
    for (auto _ : state) {
        editor.Clear();
        double spent = 0;
        for (const ContactForm& contact : contacts) {
            view.typed = contact; // typing is the user's time, not the command's
            const auto start = std::chrono::steady_clock::now();
            editor.Add();
            spent +=
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        }
        samples.Add(spent / static_cast<double>(contacts.size()));
    }
    if (!Failed(state, view) && editor.Table().Count() != static_cast<int>(contacts.size()))
        state.SkipWithError("not every contact was added");
}

// "Delete <<" of the middle entry of a phone book of range(0) contacts. The contacts entered in
// sorted order, as a loaded file's do, so the middle entry is the middle slot at every size.
void DeleteFromMiddle(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    auto contacts = SampleContacts(count);
    std::sort(contacts.begin(), contacts.end(), [](const ContactForm& a, const ContactForm& b) {
        return CNameCollation().Compare(a[ContactField::name], b[ContactField::name]) < 0;
    });
    CMemoryNameList fullList;
    testing::CHeadlessView view;
    CBookEditor full(fullList, view);
    AddAll(full, view, contacts);
    const auto image = CDeviceBookFile::BuildImage(full);
    if (!image) {
        state.SkipWithError("the phone book could not be packed");
        return;
    }
    const std::string_view records = std::string_view(*image).substr(
        CDeviceBookFile::kHeaderSize,
        CDeviceBookFile::kRecordSize * static_cast<std::size_t>(count));

    CMemoryNameList list;
    CBookEditor editor(list, view);
    CSamples samples(state);
    for (auto _ : state) {
        editor.ReplaceRecords(records);
        list.SetCurSel(count / 2);
        samples.Time([&] { editor.Delete(); });
    }
    if (!Failed(state, view) && editor.Table().Count() != count - 1)
        state.SkipWithError("the contact was not deleted");
}

// Short repetitions, many of them, interleaved with the other benchmarks' at random.
constexpr int kRepetitions = 25;

void Register() {
    const auto timed = [](const char* name, void (*function)(benchmark::State&), double minTime) {
        return benchmark::RegisterBenchmark(name, function)
            ->UseManualTime()
            ->Unit(benchmark::kMicrosecond)
            ->MinTime(minTime)
            ->Repetitions(kRepetitions);
    };
    timed("Load", Load, 0.02);
    timed("Save", SaveTel, 0.05);
    timed("SaveAs", SaveReport, 0.05);

    // A fixed number of iterations: an Add sample stands for range(0) commands.
    struct Scaling {
        const char* name;
        void (*function)(benchmark::State&);
        int iterations;
    };
    for (const Scaling& scaling : {Scaling{"Add/per_command", AddPerCommand, 31},
                                   Scaling{"Delete/per_command", DeleteFromMiddle, 1001}}) {
        benchmark::RegisterBenchmark(scaling.name, scaling.function)
            ->UseManualTime()
            ->Unit(benchmark::kNanosecond)
            ->Iterations(scaling.iterations)
            ->Repetitions(kRepetitions)
            ->Arg(50)
            ->Arg(100)
            ->Arg(200);
    }
}

void Tabulate(const CMedianReporter& medians, CFloorTable& table) {
    table.AddPaired(medians, "Load, full 26112-byte file", "Load", 2.0);
    table.AddPaired(medians, "Save, 200 contacts", "Save", 1.2);
    table.AddPaired(medians, "Save As, 200 contacts", "SaveAs", 1.2);
    // The cost per command may grow at most as the list does: four times the entries, four times
    // the time. (100 entries are measured too, for the console.)
    for (const auto& [name, figure] : {std::pair{"Add", "Add >>"}, {"Delete", "Delete <<"}}) {
        const std::string benchmark = std::string(name) + "/per_command/";
        const std::string prefix = std::string(figure) + " per command, ";
        table.AddTimes(medians, prefix + "200 vs 50 entries", benchmark + "200", benchmark + "50",
                       4.0);
    }
}

} // namespace
} // namespace orvalen::bench

int main(int argc, char** argv) {
    orvalen::bench::Register();
    return orvalen::bench::RunAndTabulate(argc, argv, orvalen::bench::Tabulate);
}
