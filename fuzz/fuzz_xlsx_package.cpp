// A workbook file as anyone may hand it over: the zip container, the package
// parts and the XML inside, all from raw bytes.
#include "FuzzSupport.h"
#include "WorkbookWalk.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::walkWorkbook(Fuzz::writeScratch(Fuzz::bytes(data, size), ".xlsx"));
    return 0;
}
