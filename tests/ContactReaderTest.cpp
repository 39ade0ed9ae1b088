#include "ContactReader.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <sstream>
#include <thread>

#if !defined(_WIN32)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace orvalen {
namespace {

// Memory does not follow the input: 10 MB of short CSV rows or minimal vCards keep the first
// kMaxKeptContacts contacts and count the rest, within a bound set by the reader's own
// accounting.
TEST(ContactReader, LiveBytesStayBoundedWhateverTheInput) {
    struct Row {
        ContactFormat format;
        std::string head;
        std::string (*record)(int);
    };
    const Row rows[] = {
        {ContactFormat::csv, "Name\r\n", [](int i) { return "N" + std::to_string(i) + "\r\n"; }},
        {ContactFormat::vcard, "",
         [](int i) { return "BEGIN:VCARD\r\nFN:N" + std::to_string(i) + "\r\nEND:VCARD\r\n"; }},
    };
    for (const Row& row : rows) {
        std::string input = row.head;
        int records = 0;
        while (input.size() < (10u << 20))
            input += row.record(records++);
        ReadOptions options;
        options.format = row.format;
        std::uint64_t progressed = 0;
        options.progress = [&](std::uint64_t read, std::uint64_t) { progressed = read; };
        const InterchangeRead read = ReadContactBytes(input, options);
        ASSERT_TRUE(read.status.IsOk()) << read.status.Reason();
        EXPECT_EQ(read.total, static_cast<std::size_t>(records));
        ASSERT_EQ(read.contacts.size(), kMaxKeptContacts);
        EXPECT_EQ(read.contacts.back()[ContactField::name], "N19999");
        EXPECT_LT(read.peakBytes, 24u << 20);
        EXPECT_EQ(progressed, input.size());
    }
}

TEST(ContactReader, ANextRangeIsReadOnRequest) {
    ReadOptions options;
    options.format = ContactFormat::csv;
    options.first = 3;
    options.count = 2;
    const InterchangeRead read = ReadContactBytes("Name\nA\nB\nC\nD\nE\n", options);
    ASSERT_EQ(read.contacts.size(), 2u);
    EXPECT_EQ(read.contacts[0][ContactField::name], "C");
    EXPECT_EQ(read.contacts[1][ContactField::name], "D");
    EXPECT_EQ(read.total, 5u);
    EXPECT_EQ(read.first, 3u);
}

#if !defined(_WIN32)
// A source that never ends a read (a FIFO whose writer writes nothing) is cancelled within
// 0.2 s from another thread.
TEST(ContactReader, CancelStopsAReadThatBlocks) {
    const auto fifo = std::filesystem::temp_directory_path() /
                      ("orvalen-fifo-" + std::to_string(::getpid()) + ".vcf");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int writer = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK); // a writer that stays silent
    ASSERT_GE(writer, 0);
    CReadCancel cancel;
    ReadOptions options;
    options.cancel = &cancel;
    auto reading = std::async(std::launch::async, [&] { return ReadContacts(fifo, options); });
    EXPECT_EQ(reading.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);
    const auto start = std::chrono::steady_clock::now();
    cancel.Cancel();
    const InterchangeRead read = reading.get();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
    EXPECT_EQ(read.status.Kind(), StatusKind::cancelled);

    // With no one to cancel it, a stall limit ends the wait.
    ReadOptions limited;
    limited.stallLimitMs = 300;
    const InterchangeRead stalled = ReadContacts(fifo, limited);
    EXPECT_EQ(stalled.status.Kind(), StatusKind::ioError);
    ::close(writer);
    std::filesystem::remove(fifo);
}
#endif

} // namespace
} // namespace orvalen
