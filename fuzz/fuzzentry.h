#pragma once

// The body of a libFuzzer entry point: runs one input (fuzzinput.h) and aborts on any problem,
// which makes libFuzzer save the input as a crash. With CORVANE_FUZZ_SLOW_MS set, an input whose
// best of three runs takes longer than that many milliseconds of CPU time is a problem too; with
// CORVANE_FUZZ_REPORT set, each run prints its CPU time and heap.

#include "fuzzinput.h"

#include <cstddef>
#include <cstdint>

namespace corvane::fuzz {

int fuzzOneInput(Target target, const uint8_t *data, size_t size);

} // namespace corvane::fuzz
