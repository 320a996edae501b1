#include "CompoundFile.h"

#include <QtEndian>

#include <cstring>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace Xl {

namespace {

constexpr quint32 endOfChain = 0xFFFFFFFE;
constexpr quint32 freeSector = 0xFFFFFFFF;

quint32 u32(const QByteArray& b, qint64 at)
{
    if (at < 0 || at + 4 > b.size())
        return freeSector;
    return qFromLittleEndian<quint32>(b.constData() + at);
}

quint16 u16(const QByteArray& b, qint64 at)
{
    if (at < 0 || at + 2 > b.size())
        return 0;
    return qFromLittleEndian<quint16>(b.constData() + at);
}

} // namespace

bool CompoundFile::hasSignature(const QByteArray& bytes)
{
    return bytes.size() >= 512 && std::memcmp(bytes.constData(), "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) == 0;
}

bool CompoundFile::hasStream(const QString& name) const
{
    return m_names.contains(name, Qt::CaseInsensitive);
}

bool CompoundFile::parse(const QByteArray& b)
{
    m_names.clear();
    m_encryptedBiff = false;
    if (!hasSignature(b))
        return false;
    const int shift = u16(b, 0x1E);
    if (shift != 9 && shift != 12)
        return false;
    const qint64 sectorSize = qint64(1) << shift;
    const qint64 sectorCount = b.size() / sectorSize;
    auto offsetOf = [&](quint32 sector) { return (qint64(sector) + 1) * sectorSize; };

    // The sector allocation table, from the header's list and its extensions.
    std::vector<quint32> fatSectors;
    for (int i = 0; i < 109; ++i) {
        const quint32 s = u32(b, 0x4C + i * 4);
        if (s != freeSector && s != endOfChain)
            fatSectors.push_back(s);
    }
    quint32 difat = u32(b, 0x44);
    for (qint64 guard = 0; difat != endOfChain && difat != freeSector && guard < sectorCount; ++guard) {
        const qint64 at = offsetOf(difat);
        for (qint64 k = 0; k < sectorSize / 4 - 1; ++k) {
            const quint32 s = u32(b, at + k * 4);
            if (s != freeSector && s != endOfChain)
                fatSectors.push_back(s);
        }
        difat = u32(b, at + sectorSize - 4);
    }
    std::vector<quint32> fat;
    for (quint32 s : fatSectors) {
        if (qint64(s) >= sectorCount)
            return false;
        const qint64 at = offsetOf(s);
        for (qint64 k = 0; k < sectorSize / 4; ++k)
            fat.push_back(u32(b, at + k * 4));
    }
    auto chain = [&](quint32 start) {
        std::vector<quint32> out;
        for (quint32 s = start; s != endOfChain && qint64(out.size()) <= sectorCount; s = fat[s]) {
            if (s >= fat.size() || qint64(s) >= sectorCount)
                return std::vector<quint32>();
            out.push_back(s);
        }
        return out;
    };

    const std::vector<quint32> dir = chain(u32(b, 0x30));
    if (dir.empty())
        return false;
    quint32 bookStart = freeSector;
    quint64 bookSize = 0;
    for (quint32 s : dir) {
        const qint64 at = offsetOf(s);
        for (qint64 e = 0; e + 128 <= sectorSize; e += 128) {
            const qint64 entry = at + e;
            const int nameBytes = u16(b, entry + 0x40);
            const int type = quint8(entry + 0x42 < b.size() ? b.at(entry + 0x42) : 0);
            if (type == 0 || nameBytes < 2 || nameBytes > 64)
                continue;
            const QString name = QString::fromUtf16(reinterpret_cast<const char16_t*>(b.constData() + entry),
                                                    nameBytes / 2 - 1);
            if (type == 2) {
                m_names << name;
                if (name == u"Workbook"_s || name == u"Book"_s) {
                    bookStart = u32(b, entry + 0x74);
                    bookSize = u32(b, entry + 0x78);
                }
            }
        }
    }
    // An encrypted BIFF workbook says so right after its first record. Small
    // streams live in the mini stream and are not looked into.
    if (bookStart != freeSector && bookSize >= 4096 && qint64(bookStart) < sectorCount) {
        qint64 at = offsetOf(bookStart);
        const qint64 end = std::min<qint64>(at + sectorSize, b.size());
        for (int records = 0; records < 8 && at + 4 <= end; ++records) {
            const quint16 type = u16(b, at);
            const quint16 length = u16(b, at + 2);
            if (type == 0x002F) {
                m_encryptedBiff = true;
                break;
            }
            at += 4 + length;
        }
    }
    return true;
}

} // namespace Xl
