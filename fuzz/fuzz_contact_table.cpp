// A contact table saved by a spreadsheet or an editor (comma- or tab-separated,
// UTF-8, UTF-16 or GBK): any bytes give rows or a stop, never a crash.
#include "FuzzSupport.h"

#include "contacts/ContactTables.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = Fuzz::writeScratch(Fuzz::bytes(data, size), ".csv");
    const Contacts::TextTableResult result = Contacts::Read_Text(path);
    FUZZ_CHECK(result.readable);
    for (qsizetype i = 0; i < result.rows.size(); ++i)
        FUZZ_CHECK(result.rows.at(i).fields[Contacts::ContactRow::BianHao] == QString::number(i + 1));
    return 0;
}
