// libFuzzer target: job files through parseJobFile().
#include "fuzzentry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return corvane::fuzz::fuzzOneInput(corvane::fuzz::Target::JobFile, data, size);
}
