// A vCard file comes from any phone or program: any bytes give rows (one per
// complete card, numbered from 1), never a crash.
#include "FuzzSupport.h"

#include "contacts/VCardReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input = Fuzz::bytes(data, size);
    const Contacts::VCardLines store = Contacts::vCardLinesOf(input);
    const Contacts::ContactRows rows = Contacts::ParseVCardLines(store);
    // Each row is a card closed by an END line, numbered from 1.
    FUZZ_CHECK(rows.size() <= store.lines.size());
    for (qsizetype i = 0; i < rows.size(); ++i)
        FUZZ_CHECK(rows.at(i).fields[Contacts::ContactRow::BianHao] == QString::number(i + 1));
    Contacts::looksLikeVCard(input.left(4096));
    return 0;
}
