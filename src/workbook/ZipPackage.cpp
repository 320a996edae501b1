#include "ZipPackage.h"

#include <zip.h>
#include <zlib.h>

using namespace Qt::Literals::StringLiterals;

namespace Xl {

namespace {

QString zipErrorText(zip_error_t* e)
{
    return QString::fromUtf8(zip_error_strerror(e));
}

QString key(const QString& name)
{
    return name.toLower();
}

} // namespace

ZipPackage::ZipPackage() = default;

ZipPackage::~ZipPackage()
{
    closeSource();
}

void ZipPackage::closeSource()
{
    if (m_zip) {
        zip_discard(m_zip);
        m_zip = nullptr;
    }
}

bool ZipPackage::isSafeName(const QString& name)
{
    if (name.isEmpty() || name.startsWith(u'/') || name.contains(u'\\') || name.contains(QChar(0)))
        return false;
    if (name.size() >= 2 && name.at(1) == u':')
        return false;
    const QStringList segments = name.split(u'/');
    for (const QString& s : segments) {
        if (s == u".."_s || s == u"."_s)
            return false;
    }
    return true;
}

bool ZipPackage::load(const QByteArray& bytes, WorkbookError* error, const Limits& limits)
{
    closeSource();
    m_entries.clear();
    m_index.clear();
    m_bytes = bytes;

    zip_error_t zerr;
    zip_error_init(&zerr);
    zip_source_t* src = zip_source_buffer_create(m_bytes.constData(), zip_uint64_t(m_bytes.size()), 0, &zerr);
    if (!src) {
        const QString text = zipErrorText(&zerr);
        zip_error_fini(&zerr);
        return fail(error, WorkbookError::Code::Corrupt, text);
    }
    m_zip = zip_open_from_source(src, ZIP_RDONLY, &zerr);
    if (!m_zip) {
        const QString text = zipErrorText(&zerr);
        zip_error_fini(&zerr);
        zip_source_free(src);
        m_bytes.clear();
        return fail(error, WorkbookError::Code::Corrupt, u"zip: "_s + text);
    }
    zip_error_fini(&zerr);

    auto reject = [&](WorkbookError::Code code, const QString& detail) {
        closeSource();
        m_entries.clear();
        m_index.clear();
        m_bytes.clear();
        return fail(error, code, detail);
    };

    const zip_int64_t count = zip_get_num_entries(m_zip, 0);
    if (count < 0)
        return reject(WorkbookError::Code::Corrupt, u"zip: no entries"_s);
    if (count > limits.maxEntries)
        return reject(WorkbookError::Code::TooLarge,
                      u"%1 entries (at most %2)"_s.arg(count).arg(limits.maxEntries));

    qint64 total = 0;
    m_entries.reserve(size_t(count));
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(m_zip, zip_uint64_t(i), 0, &st) != 0)
            return reject(WorkbookError::Code::Corrupt, u"zip: entry %1 unreadable"_s.arg(i));
        const QString name = QString::fromUtf8(st.name ? st.name : "");
        if (!isSafeName(name))
            return reject(WorkbookError::Code::Unsafe, u"entry name \"%1\""_s.arg(name));
        if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE)
            return reject(WorkbookError::Code::Encrypted, u"encrypted zip entry \"%1\""_s.arg(name));
        if (!(st.valid & ZIP_STAT_SIZE))
            return reject(WorkbookError::Code::Corrupt, u"entry \"%1\" has no size"_s.arg(name));
        if (st.size > zip_uint64_t(limits.maxInflatedBytes) ||
            total + qint64(st.size) > limits.maxInflatedBytes)
            return reject(WorkbookError::Code::TooLarge,
                          u"inflated size above %1 bytes at \"%2\""_s.arg(limits.maxInflatedBytes).arg(name));
        total += qint64(st.size);
        const QString k = key(name);
        if (m_index.contains(k))
            return reject(WorkbookError::Code::Corrupt, u"duplicate entry \"%1\""_s.arg(name));
        Entry e;
        e.name = name;
        e.sourceIndex = i;
        e.size = qint64(st.size);
        e.hasCrc = (st.valid & ZIP_STAT_CRC) != 0;
        e.crc = st.crc;
        m_index.insert(k, int(m_entries.size()));
        m_entries.push_back(std::move(e));
    }
    return true;
}

const ZipPackage::Entry* ZipPackage::find(const QString& name) const
{
    const auto it = m_index.constFind(key(name));
    if (it == m_index.constEnd())
        return nullptr;
    return &m_entries[size_t(*it)];
}

QStringList ZipPackage::names() const
{
    QStringList out;
    for (const Entry& e : m_entries) {
        if (!e.removed)
            out << e.name;
    }
    return out;
}

bool ZipPackage::contains(const QString& name) const
{
    return find(name) != nullptr;
}

QString ZipPackage::spelling(const QString& name) const
{
    const Entry* e = find(name);
    return e ? e->name : QString();
}

qint64 ZipPackage::size(const QString& name) const
{
    const Entry* e = find(name);
    return e ? e->size : -1;
}

bool ZipPackage::read(const QString& name, QByteArray* data, WorkbookError* error) const
{
    const Entry* e = find(name);
    if (!e)
        return fail(error, WorkbookError::Code::Corrupt, u"missing part \"%1\""_s.arg(name));
    if (e->sourceIndex < 0) {
        *data = e->data;
        return true;
    }
    zip_file_t* f = zip_fopen_index(m_zip, zip_uint64_t(e->sourceIndex), 0);
    if (!f)
        return fail(error, WorkbookError::Code::Corrupt,
                    u"part \"%1\": %2"_s.arg(name, zipErrorText(zip_get_error(m_zip))));
    QByteArray buffer;
    buffer.resize(e->size);
    qint64 done = 0;
    while (done < e->size) {
        const zip_int64_t n = zip_fread(f, buffer.data() + done, zip_uint64_t(e->size - done));
        if (n < 0) {
            const QString text = zipErrorText(zip_file_get_error(f));
            zip_fclose(f);
            return fail(error, WorkbookError::Code::Corrupt, u"part \"%1\": %2"_s.arg(name, text));
        }
        if (n == 0)
            break;
        done += n;
    }
    // A stream that ends early, or whose checksum does not match, is damaged;
    // libzip checks the checksum once the recorded size has been read.
    char probe;
    const zip_int64_t extra = done == e->size ? zip_fread(f, &probe, 1) : 0;
    const QString text = extra < 0 ? zipErrorText(zip_file_get_error(f)) : QString();
    zip_fclose(f);
    if (done != e->size)
        return fail(error, WorkbookError::Code::Corrupt, u"part \"%1\" is truncated"_s.arg(name));
    if (extra < 0)
        return fail(error, WorkbookError::Code::Corrupt, u"part \"%1\": %2"_s.arg(name, text));
    // A stream that inflates beyond its recorded size is cut at that size; the
    // checksum of what was read then tells it apart from a sound entry.
    if (e->hasCrc) {
        uLong crc = crc32(0L, Z_NULL, 0);
        for (qint64 at = 0; at < buffer.size();) {
            const uInt n = uInt(std::min<qint64>(buffer.size() - at, qint64(1) << 30));
            crc = crc32(crc, reinterpret_cast<const Bytef*>(buffer.constData() + at), n);
            at += n;
        }
        if (quint32(crc) != e->crc)
            return fail(error, WorkbookError::Code::Corrupt, u"part \"%1\": checksum mismatch"_s.arg(name));
    }
    *data = std::move(buffer);
    return true;
}

void ZipPackage::write(const QString& name, const QByteArray& data)
{
    const auto it = m_index.constFind(key(name));
    if (it != m_index.constEnd()) {
        Entry& e = m_entries[size_t(*it)];
        e.sourceIndex = -1;
        e.data = data;
        e.size = data.size();
        return;
    }
    Entry e;
    e.name = name;
    e.data = data;
    e.size = data.size();
    m_index.insert(key(name), int(m_entries.size()));
    m_entries.push_back(std::move(e));
}

bool ZipPackage::remove(const QString& name)
{
    const auto it = m_index.constFind(key(name));
    if (it == m_index.constEnd())
        return false;
    Entry& e = m_entries[size_t(*it)];
    e.removed = true;
    e.data.clear();
    m_index.erase(it);
    return true;
}

bool ZipPackage::isChanged(const QString& name) const
{
    const Entry* e = find(name);
    return e && e->sourceIndex < 0;
}

bool ZipPackage::save(QByteArray* out, WorkbookError* error) const
{
    zip_error_t zerr;
    zip_error_init(&zerr);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &zerr);
    if (!buffer) {
        const QString text = zipErrorText(&zerr);
        zip_error_fini(&zerr);
        return fail(error, WorkbookError::Code::WriteFailed, text);
    }
    zip_source_keep(buffer);
    zip_t* target = zip_open_from_source(buffer, ZIP_TRUNCATE, &zerr);
    if (!target) {
        const QString text = zipErrorText(&zerr);
        zip_error_fini(&zerr);
        zip_source_free(buffer);
        return fail(error, WorkbookError::Code::WriteFailed, text);
    }
    zip_error_fini(&zerr);

    auto abandon = [&](const QString& text) {
        zip_discard(target);
        zip_source_free(buffer);
        return fail(error, WorkbookError::Code::WriteFailed, text);
    };

    std::vector<const Entry*> order;
    order.reserve(m_entries.size());
    for (const Entry& e : m_entries) {
        if (!e.removed && e.name.compare(u"[Content_Types].xml"_s, Qt::CaseInsensitive) == 0)
            order.push_back(&e);
    }
    for (const Entry& e : m_entries) {
        if (!e.removed && e.name.compare(u"[Content_Types].xml"_s, Qt::CaseInsensitive) != 0)
            order.push_back(&e);
    }

    for (const Entry* e : order) {
        zip_source_t* s = nullptr;
        if (e->sourceIndex >= 0)
            s = zip_source_zip(target, m_zip, zip_uint64_t(e->sourceIndex), 0, 0, -1);
        else
            s = zip_source_buffer(target, e->data.constData(), zip_uint64_t(e->data.size()), 0);
        if (!s)
            return abandon(zipErrorText(zip_get_error(target)));
        const QByteArray utf8 = e->name.toUtf8();
        const zip_int64_t index = zip_file_add(target, utf8.constData(), s, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(s);
            return abandon(zipErrorText(zip_get_error(target)));
        }
        if (e->sourceIndex < 0)
            zip_set_file_compression(target, zip_uint64_t(index), ZIP_CM_DEFLATE, 1);
    }
    if (zip_close(target) != 0)
        return abandon(zipErrorText(zip_get_error(target)));

    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_source_stat(buffer, &st) != 0 || zip_source_open(buffer) != 0) {
        zip_source_free(buffer);
        return fail(error, WorkbookError::Code::WriteFailed, u"zip buffer unreadable"_s);
    }
    QByteArray bytes;
    bytes.resize(qsizetype(st.size));
    const zip_int64_t n = zip_source_read(buffer, bytes.data(), st.size);
    zip_source_close(buffer);
    zip_source_free(buffer);
    if (n != zip_int64_t(st.size))
        return fail(error, WorkbookError::Code::WriteFailed, u"zip buffer short read"_s);
    *out = std::move(bytes);
    return true;
}

} // namespace Xl
