// libFuzzer entry: every input goes through the reader and, when accepted, through the checks of
// checkXmlReader. A violation aborts so that libFuzzer keeps the input.
#include "xml_reader_check.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<int>(size));
    const std::string fault = checkXmlReader(input);
    if (!fault.empty()) {
        std::fprintf(stderr, "reader check failed: %s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
