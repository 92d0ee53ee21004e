// libFuzzer entry: every input is stored as a file and read as an example bitmap, then passes the
// checks of checkExampleBitmap. A violation aborts so that libFuzzer keeps the input.
#include "bitmap_check.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<int>(size));
    const std::string fault = checkExampleBitmap(input);
    if (!fault.empty()) {
        std::fprintf(stderr, "bitmap check failed: %s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
