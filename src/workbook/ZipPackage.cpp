#include "ZipPackage.h"

#include <zip.h>
#include <zlib.h>

#include <QScopeGuard>

#include "Parallel.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <memory>

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

// An entry deflated ahead of time, handed to libzip as compressed data so that
// it is copied into the archive as it is.
struct Precompressed
{
    QByteArray compressed;
    qint64 size = 0;
    quint32 crc = 0;
    qint64 offset = 0;
};

bool deflateRaw(const QByteArray& data, Precompressed* out)
{
    uLong crc = crc32(0L, Z_NULL, 0);
    z_stream z{};
    if (deflateInit2(&z, 1, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return false;
    QByteArray buffer;
    buffer.resize(qsizetype(deflateBound(&z, uLong(data.size()))) + 64);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    z.avail_in = uInt(data.size());
    z.next_out = reinterpret_cast<Bytef*>(buffer.data());
    z.avail_out = uInt(buffer.size());
    const int status = deflate(&z, Z_FINISH);
    const qint64 written = qint64(z.total_out);
    deflateEnd(&z);
    if (status != Z_STREAM_END)
        return false;
    buffer.truncate(written);
    crc = crc32(crc, reinterpret_cast<const Bytef*>(data.constData()), uInt(data.size()));
    out->compressed = std::move(buffer);
    out->size = data.size();
    out->crc = quint32(crc);
    return true;
}

zip_int64_t precompressedSource(void* userdata, void* data, zip_uint64_t length, zip_source_cmd_t command)
{
    auto* p = static_cast<Precompressed*>(userdata);
    switch (command) {
    case ZIP_SOURCE_OPEN:
        p->offset = 0;
        return 0;
    case ZIP_SOURCE_READ: {
        const qint64 n = std::min<qint64>(qint64(length), p->compressed.size() - p->offset);
        std::memcpy(data, p->compressed.constData() + p->offset, size_t(n));
        p->offset += n;
        return n;
    }
    case ZIP_SOURCE_CLOSE:
        return 0;
    case ZIP_SOURCE_STAT: {
        auto* st = static_cast<zip_stat_t*>(data);
        zip_stat_init(st);
        st->size = zip_uint64_t(p->size);
        st->comp_size = zip_uint64_t(p->compressed.size());
        st->comp_method = ZIP_CM_DEFLATE;
        st->encryption_method = ZIP_EM_NONE;
        st->crc = p->crc;
        st->mtime = std::time(nullptr);
        st->valid = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_ENCRYPTION_METHOD |
                    ZIP_STAT_CRC | ZIP_STAT_MTIME;
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_ERROR: {
        int* e = static_cast<int*>(data);
        e[0] = 0;
        e[1] = 0;
        return 2 * sizeof(int);
    }
    case ZIP_SOURCE_FREE:
        delete p;
        return 0;
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                              ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
    default:
        return -1;
    }
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
        // What the directory claims is checked against the archive itself before
        // anything is allocated for it: a stored entry is its own size, a deflated
        // one inflates at most 1032 times its compressed size, and no entry's
        // compressed bytes can exceed the archive.
        if (st.valid & ZIP_STAT_COMP_SIZE) {
            const bool method = st.valid & ZIP_STAT_COMP_METHOD;
            if (st.comp_size > zip_uint64_t(m_bytes.size()))
                return reject(WorkbookError::Code::Corrupt,
                              u"entry \"%1\" claims %2 compressed bytes in a %3-byte archive"_s.arg(name)
                                  .arg(st.comp_size)
                                  .arg(m_bytes.size()));
            if (method && st.comp_method == ZIP_CM_STORE && st.size != st.comp_size)
                return reject(WorkbookError::Code::Corrupt, u"stored entry \"%1\" has two sizes"_s.arg(name));
            if (method && st.comp_method == ZIP_CM_DEFLATE && st.size > st.comp_size * 1032 + 64)
                return reject(WorkbookError::Code::Corrupt,
                              u"entry \"%1\" claims more than deflate can inflate to"_s.arg(name));
        }
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
        e.compressedSize = (st.valid & ZIP_STAT_COMP_SIZE) ? qint64(st.comp_size) : -1;
        e.method = (st.valid & ZIP_STAT_COMP_METHOD) ? int(st.comp_method) : -1;
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

bool ZipPackage::fetchRaw(const Entry& e, QByteArray* raw, int* method, WorkbookError* error) const
{
    *method = e.method;
    // Stored and deflated entries are inflated here (on any thread, with exact
    // size checks); other methods are left to libzip.
    const bool raw8 = (e.method == ZIP_CM_STORE || e.method == ZIP_CM_DEFLATE) && e.compressedSize >= 0;
    zip_file_t* f = zip_fopen_index(m_zip, zip_uint64_t(e.sourceIndex), raw8 ? ZIP_FL_COMPRESSED : 0);
    if (!f)
        return fail(error, WorkbookError::Code::Corrupt,
                    u"part \"%1\": %2"_s.arg(e.name, zipErrorText(zip_get_error(m_zip))));
    const qint64 expected = raw8 ? e.compressedSize : e.size;
    // The buffer grows with what is actually read: libzip's other methods
    // (bzip2, xz...) have no ratio bound that load() could check.
    constexpr qint64 chunk = qint64(1) << 20;
    QByteArray buffer;
    qint64 done = 0;
    while (done < expected) {
        if (buffer.size() == done)
            buffer.resize(std::min(expected, done + std::max(chunk, done)));
        const zip_int64_t n = zip_fread(f, buffer.data() + done, zip_uint64_t(buffer.size() - done));
        if (n < 0) {
            const QString text = zipErrorText(zip_file_get_error(f));
            zip_fclose(f);
            return fail(error, WorkbookError::Code::Corrupt, u"part \"%1\": %2"_s.arg(e.name, text));
        }
        if (n == 0)
            break;
        done += n;
    }
    zip_fclose(f);
    if (done != expected)
        return fail(error, WorkbookError::Code::Corrupt, u"part \"%1\" is truncated"_s.arg(e.name));
    buffer.truncate(done);
    if (!raw8)
        *method = ZIP_CM_STORE; // libzip inflated it already
    *raw = std::move(buffer);
    return true;
}

bool ZipPackage::inflateEntry(const Entry& e, const QByteArray& raw, int method, QByteArray* data,
                              WorkbookError* error)
{
    QByteArray out;
    if (method == ZIP_CM_STORE) {
        if (raw.size() != e.size)
            return fail(error, WorkbookError::Code::Corrupt, u"part \"%1\": wrong size"_s.arg(e.name));
        out = raw;
    } else {
        out.resize(e.size);
        z_stream z{};
        if (inflateInit2(&z, -MAX_WBITS) != Z_OK)
            return fail(error, WorkbookError::Code::Corrupt, u"part \"%1\": zlib"_s.arg(e.name));
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(raw.constData()));
        z.avail_in = uInt(raw.size());
        z.next_out = reinterpret_cast<Bytef*>(out.data());
        z.avail_out = uInt(out.size());
        int status = inflate(&z, Z_FINISH);
        // A stream that would inflate beyond the recorded size stops there.
        const bool exact = status == Z_STREAM_END && qint64(z.total_out) == e.size;
        if (!exact && status == Z_BUF_ERROR && z.avail_out == 0) {
            char probe;
            z.next_out = reinterpret_cast<Bytef*>(&probe);
            z.avail_out = 1;
            status = inflate(&z, Z_FINISH);
            (void)status;
        }
        inflateEnd(&z);
        if (!exact)
            return fail(error, WorkbookError::Code::Corrupt,
                        u"part \"%1\" does not inflate to its recorded size"_s.arg(e.name));
    }
    if (e.hasCrc) {
        uLong crc = crc32(0L, Z_NULL, 0);
        for (qint64 at = 0; at < out.size();) {
            const uInt n = uInt(std::min<qint64>(out.size() - at, qint64(1) << 30));
            crc = crc32(crc, reinterpret_cast<const Bytef*>(out.constData() + at), n);
            at += n;
        }
        if (quint32(crc) != e.crc)
            return fail(error, WorkbookError::Code::Corrupt, u"part \"%1\": checksum mismatch"_s.arg(e.name));
    }
    *data = std::move(out);
    return true;
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
    QByteArray raw;
    int method = 0;
    return fetchRaw(*e, &raw, &method, error) && inflateEntry(*e, raw, method, data, error);
}

bool ZipPackage::readAll(const QStringList& names, std::vector<QByteArray>* data, WorkbookError* error) const
{
    const int n = int(names.size());
    data->assign(size_t(n), QByteArray());
    std::vector<QByteArray> raw(static_cast<size_t>(n));
    std::vector<int> methods(size_t(n), -1);
    std::vector<const Entry*> entries(size_t(n), nullptr);
    for (int i = 0; i < n; ++i) {
        const Entry* e = find(names[i]);
        if (!e)
            return fail(error, WorkbookError::Code::Corrupt, u"missing part \"%1\""_s.arg(names[i]));
        entries[size_t(i)] = e;
        if (e->sourceIndex < 0)
            (*data)[size_t(i)] = e->data;
        else if (!fetchRaw(*e, &raw[size_t(i)], &methods[size_t(i)], error))
            return false;
    }
    std::vector<WorkbookError> errors(static_cast<size_t>(n));
    parallelFor(n, [&](int i) {
        if (entries[size_t(i)]->sourceIndex >= 0)
            inflateEntry(*entries[size_t(i)], raw[size_t(i)], methods[size_t(i)], &(*data)[size_t(i)],
                         &errors[size_t(i)]);
    });
    for (const WorkbookError& e : errors) {
        if (!e.ok())
            return fail(error, e);
    }
    return true;
}

bool ZipPackage::fetch(const QString& name, Stored* stored, WorkbookError* error) const
{
    const Entry* e = find(name);
    if (!e)
        return fail(error, WorkbookError::Code::Corrupt, u"missing part \"%1\""_s.arg(name));
    stored->name = e->name;
    stored->size = e->size;
    stored->crc = e->crc;
    stored->hasCrc = e->hasCrc && e->sourceIndex >= 0;
    if (e->sourceIndex < 0) {
        stored->method = ZIP_CM_STORE;
        stored->raw = e->data;
        return true;
    }
    return fetchRaw(*e, &stored->raw, &stored->method, error);
}

bool ZipPackage::inflateStored(const Stored& stored, qint64 piece,
                               const std::function<bool(const char*, qsizetype)>& sink, WorkbookError* error)
{
    const QString& name = stored.name;
    uLong crc = crc32(0L, Z_NULL, 0);
    auto deliver = [&](const char* data, qint64 n) {
        for (qint64 at = 0; at < n;) {
            const uInt k = uInt(std::min<qint64>(n - at, qint64(1) << 30));
            crc = crc32(crc, reinterpret_cast<const Bytef*>(data + at), k);
            at += k;
        }
        return sink(data, qsizetype(n));
    };
    auto checked = [&]() {
        if (stored.hasCrc && quint32(crc) != stored.crc)
            return fail(error, WorkbookError::Code::Corrupt, u"part \"%1\": checksum mismatch"_s.arg(name));
        return true;
    };
    if (stored.method == ZIP_CM_STORE) {
        if (stored.raw.size() != stored.size)
            return fail(error, WorkbookError::Code::Corrupt, u"part \"%1\": wrong size"_s.arg(name));
        for (qint64 at = 0; at < stored.raw.size(); at += piece) {
            if (!deliver(stored.raw.constData() + at, std::min(piece, stored.raw.size() - at)))
                return true;
        }
        return checked();
    }
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK)
        return fail(error, WorkbookError::Code::Corrupt, u"part \"%1\": zlib"_s.arg(name));
    const auto end = qScopeGuard([&z] { inflateEnd(&z); });
    QByteArray out(qsizetype(std::min(piece, std::max<qint64>(stored.size, 1))), Qt::Uninitialized);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stored.raw.constData()));
    z.avail_in = uInt(stored.raw.size());
    qint64 total = 0;
    int status = Z_OK;
    while (status != Z_STREAM_END) {
        // Never more than the recorded size: a stream that goes on is cut off.
        const qint64 room = std::min<qint64>(out.size(), stored.size - total + 1);
        z.next_out = reinterpret_cast<Bytef*>(out.data());
        z.avail_out = uInt(room);
        status = ::inflate(&z, Z_NO_FLUSH);
        const qint64 produced = room - z.avail_out;
        total += produced;
        if (status != Z_OK && status != Z_STREAM_END)
            break;
        if (total > stored.size)
            break;
        if (produced > 0 && !deliver(out.constData(), produced))
            return true;
    }
    if (status != Z_STREAM_END || total != stored.size)
        return fail(error, WorkbookError::Code::Corrupt,
                    u"part \"%1\" does not inflate to its recorded size"_s.arg(name));
    return checked();
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

    // Written entries are deflated two at a time beforehand.
    std::vector<const Entry*> written;
    for (const Entry* e : order) {
        if (e->sourceIndex < 0)
            written.push_back(e);
    }
    std::vector<std::unique_ptr<Precompressed>> packed(written.size());
    std::vector<char> packedOk(written.size(), 0);
    parallelFor(int(written.size()), [&](int i) {
        packed[size_t(i)] = std::make_unique<Precompressed>();
        packedOk[size_t(i)] = deflateRaw(written[size_t(i)]->data, packed[size_t(i)].get()) ? 1 : 0;
    });
    size_t next = 0;
    for (const Entry* e : order) {
        zip_source_t* s = nullptr;
        if (e->sourceIndex >= 0) {
            s = zip_source_zip(target, m_zip, zip_uint64_t(e->sourceIndex), 0, 0, -1);
        } else {
            const size_t i = next++;
            if (!packedOk[i])
                return abandon(u"zlib: deflate failed for \"%1\""_s.arg(e->name));
            s = zip_source_function(target, precompressedSource, packed[i].get());
            if (s)
                packed[i].release(); // the source owns it now
        }
        if (!s)
            return abandon(zipErrorText(zip_get_error(target)));
        const QByteArray utf8 = e->name.toUtf8();
        const zip_int64_t index = zip_file_add(target, utf8.constData(), s, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(s);
            return abandon(zipErrorText(zip_get_error(target)));
        }
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
