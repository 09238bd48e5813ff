#pragma once

// The most heap that one thread holds at once while a piece of code runs.
//
// The sanitizer allocators (AddressSanitizer, as the fuzzers and the sanitizer test build use it)
// call hooks on every allocation and release; HeapPeak adds up what its own thread takes and
// gives back between its construction and its destruction and keeps the highest sum. Memory that
// the code frees but did not take counts as given back. A build without a sanitizer has no hooks:
// available() is false there and peakBytes() gives -1.

#include <QtGlobal>

namespace corvane::fuzz {

class HeapPeak
{
public:
    HeapPeak();
    ~HeapPeak();
    HeapPeak(const HeapPeak &) = delete;
    HeapPeak &operator=(const HeapPeak &) = delete;

    static bool available();
    // The highest count so far, in bytes above what the thread held at the start.
    qint64 peakBytes() const;
};

} // namespace corvane::fuzz
