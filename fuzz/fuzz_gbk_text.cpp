// GBK text as the program's text files hold it: decoding any bytes, and a
// round trip of every text GBK can hold.
#include "FuzzSupport.h"

#include "platform/GbkText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input = Fuzz::bytes(data, size);
    const QString text = Platform::decodeGbk(input);
    const QStringList lines = Platform::splitLines(text);
    for (const QString& line : lines)
        FUZZ_CHECK(!line.contains(u'\r') && !line.contains(u'\n'));
    if (Platform::gbkCanEncode(text))
        FUZZ_CHECK(Platform::decodeGbk(Platform::encodeGbk(text)) == text);
    // The same bytes read as UTF-16 text: whatever GBK can hold comes back.
    const QString wide = QString::fromUtf16(reinterpret_cast<const char16_t*>(data), qsizetype(size / 2));
    if (Platform::gbkCanEncode(wide))
        FUZZ_CHECK(Platform::decodeGbk(Platform::encodeGbk(wide)) == wide);
    (void)Platform::gbkLinesBytes(lines);
    return 0;
}
