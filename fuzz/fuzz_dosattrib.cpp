// The stored "user.DOSATTRIB" value of a file can hold anything another
// program wrote there: parsing never fails, and what we write reads back.
#include "FuzzSupport.h"

#include "platform/FileAttributes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const int value = Platform::parseDosAttrib(Fuzz::bytes(data, size));
    FUZZ_CHECK(value >= -1);
    if (value >= 0) {
        const int again = Platform::parseDosAttrib(Platform::formatDosAttrib(value));
        FUZZ_CHECK(again == value);
    }
    return 0;
}
