// libFuzzer entry: one input is a "zkhelp:" address without its scheme, as UTF-8 bytes.
#include "fuzzchecks.h"

#include <QCoreApplication>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // The index's database driver is a plugin, found through the application.
    new QCoreApplication(*argc, *argv);
    FuzzChecks::silenceMessageLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzChecks::checkAddress(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    return 0;
}
