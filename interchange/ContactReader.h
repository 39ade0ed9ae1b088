#pragma once

// The one way into the interchange library: a contacts file (vCard or CSV) read from a path,
// a stream (standard input) or bytes, in one bounded pass, and contacts written out.
//
// Promises: the input is read once, in chunks; memory does not grow with its size: at most
// kMaxKeptContacts contacts are kept (those of the range asked for), the others are counted;
// values the player cannot use (photos, sounds, keys) are skipped as they stream; a text
// longer than kLongValue bytes keeps its first kLongValueKept bytes. The
// character set is decided once per file, after the whole file has streamed, in this order:
// byte order mark, the user's choice, a CHARSET label (per value), valid UTF-8, the detector's
// name when every kept value decodes in it, the user's code page when every kept value decodes
// in it; else the file is refused (StatusKind::encoding, no detail). A read can be cancelled
// from another thread (StatusKind::cancelled), within 100 ms even when the source blocks.
// Requires: the cancel token and the callback outlive the read.

#include "Interchange.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <span>
#include <string>
#include <string_view>

namespace orvalen {

// At most this many contacts are kept from one read: a few MB whatever the file holds.
inline constexpr std::size_t kMaxKeptContacts = 20000;
// Per contact, at most this many values of one field are kept (enough for PREF and types to
// choose); further ones are counted as left out.
inline constexpr std::size_t kMaxValuesPerField = 8;
// Nothing this long fits the player: only the first kLongValueKept bytes and the length stay.
inline constexpr std::size_t kLongValue = 256;
inline constexpr std::size_t kLongValueKept = 64;
// Raw bytes are kept whole up to here: escapes and one-byte sets may double a text's length.
inline constexpr std::size_t kLongRawValue = 4 * kLongValue;
// A logical line (a vCard property, a CSV record's field) ends here, with a note.
inline constexpr std::size_t kMaxLogicalLine = 1u << 20;

enum class ContactFormat { guess, vcard, csv };

// Set from any thread to stop a read; the read then returns StatusKind::cancelled. On Windows
// the reading thread binds itself so that a blocked read is broken (CancelSynchronousIo).
class CReadCancel {
public:
    CReadCancel();
    ~CReadCancel();
    CReadCancel(const CReadCancel&) = delete;
    CReadCancel& operator=(const CReadCancel&) = delete;

    void Cancel();
    bool IsCancelled() const { return m_cancelled.load(); }

    // Called by the reading thread around blocking reads (no-ops where polling suffices).
    void BindThread() const;
    void UnbindThread() const;

private:
    std::atomic<bool> m_cancelled{false};
    mutable std::atomic<void*> m_thread{nullptr};
};

struct ReadOptions {
    ContactFormat format = ContactFormat::guess; // guess: by the path's ending, else the content
    std::string inputEncoding; // the user's choice; overrides CHARSET labels (not a mark)
    std::string userCodePage;  // the last set tried for a file that names none
    std::size_t first = 1;     // the first contact kept, counted from 1 in file order
    std::size_t count = kMaxKeptContacts; // how many are kept from there (at most the maximum)
    const CReadCancel* cancel = nullptr;
    // A source that gives no byte for this long ends the read (ETIMEDOUT); 0: no limit. For
    // a read that no one can cancel, such as one on a window's own thread.
    int stallLimitMs = 0;
    // Called after each chunk with the bytes read so far and the size (0 when unknown).
    std::function<void(std::uint64_t read, std::uint64_t size)> progress;
};

InterchangeRead ReadContacts(const std::filesystem::path& path, const ReadOptions& options);
InterchangeRead ReadContacts(std::istream& stream, const ReadOptions& options);
InterchangeRead ReadContactBytes(std::string_view bytes, const ReadOptions& options);

// contacts as this program writes them: CSV with a byte order mark, or vCard 3.0 in UTF-8.
std::string WriteContacts(std::span<const InterchangeContact> contacts, ContactFormat format);

} // namespace orvalen
