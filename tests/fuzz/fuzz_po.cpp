// libFuzzer entry: one input is the bytes of one PO file.
#include "fuzzchecks.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzChecks::silenceMessageLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzChecks::checkPoFile(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    return 0;
}
