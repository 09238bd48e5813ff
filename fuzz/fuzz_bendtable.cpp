// libFuzzer target: workbooks through BendTable::fromWorkbook() and the table's queries.
#include "fuzzentry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return corvane::fuzz::fuzzOneInput(corvane::fuzz::Target::BendTable, data, size);
}
