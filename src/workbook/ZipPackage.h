#pragma once

#include "WorkbookError.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

struct zip;
struct zip_source;

namespace Xl {

// A zip archive held in memory, read with caps against hostile input and
// written back with every entry that was not replaced copied as it was
// (compressed bytes included, no recompression).
//
// Entry names are compared without regard to case, as package part names are.
// Names that climb out of the archive ("..", absolute paths, drive letters,
// backslashes) are refused when the archive is loaded.
// Caps on what an archive may inflate to.
struct ZipLimits
{
    qint64 maxInflatedBytes = qint64(1) << 30; // sum of all entries' sizes
    int maxEntries = 20000;
};

class ZipPackage
{
public:
    using Limits = ZipLimits;

    ZipPackage();
    ~ZipPackage();
    ZipPackage(const ZipPackage&) = delete;
    ZipPackage& operator=(const ZipPackage&) = delete;

    // Loads an archive from its bytes. Fails (Corrupt, Unsafe, TooLarge,
    // Encrypted) without keeping anything.
    bool load(const QByteArray& bytes, WorkbookError* error, const Limits& limits = Limits());

    // Entry names in archive order, as spelled in the archive.
    QStringList names() const;
    bool contains(const QString& name) const;
    // The archive's own spelling of `name`, or an empty string.
    QString spelling(const QString& name) const;
    // Inflated size of an entry, -1 when there is none.
    qint64 size(const QString& name) const;

    // Reads an entry's inflated bytes. Corrupt when the data do not inflate to
    // the recorded size and checksum.
    bool read(const QString& name, QByteArray* data, WorkbookError* error) const;
    // Reads several entries, inflating on two threads.
    bool readAll(const QStringList& names, std::vector<QByteArray>* data, WorkbookError* error) const;

    // An entry's stored bytes, fetched by fetch() one entry after the other
    // (libzip is not thread-safe); inflateStored() then runs on any thread and hands
    // the inflated bytes over piece by piece, so that a large part never has
    // to be held whole.
    struct Stored
    {
        QString name;
        qint64 size = 0;
        quint32 crc = 0;
        bool hasCrc = false;
        int method = 0;
        QByteArray raw; // compressed, or the data of an entry written since loading
    };
    bool fetch(const QString& name, Stored* stored, WorkbookError* error) const;
    // Calls `sink` with consecutive pieces of at most `piece` bytes; stops when
    // it returns false. Corrupt when the data do not inflate to the recorded
    // size and checksum (found after the last piece).
    static bool inflateStored(const Stored& stored, qint64 piece,
                              const std::function<bool(const char*, qsizetype)>& sink, WorkbookError* error);

    // Adds or replaces an entry; a replaced entry keeps its place in the order.
    void write(const QString& name, const QByteArray& data);
    bool remove(const QString& name);
    // True when the entry was written since loading (or is new).
    bool isChanged(const QString& name) const;

    // The archive as zip bytes: "[Content_Types].xml" first, then the entries in
    // their order. Replaced entries are deflated at a fast level.
    bool save(QByteArray* out, WorkbookError* error) const;

    // True when `name` is safe to hold inside a package.
    static bool isSafeName(const QString& name);

private:
    struct Entry
    {
        QString name;
        qint64 sourceIndex = -1; // index in the loaded archive, -1 when written
        qint64 size = 0;
        quint32 crc = 0;
        bool hasCrc = false;
        qint64 compressedSize = 0;
        int method = 0;
        QByteArray data; // when written
        bool removed = false;
    };

    const Entry* find(const QString& name) const;
    // The stored (compressed) bytes of an entry and its method.
    bool fetchRaw(const Entry& e, QByteArray* raw, int* method, WorkbookError* error) const;
    static bool inflateEntry(const Entry& e, const QByteArray& raw, int method, QByteArray* data,
                             WorkbookError* error);
    void closeSource();

    std::vector<Entry> m_entries;
    QHash<QString, int> m_index; // lower-cased name -> entry
    QByteArray m_bytes;
    zip* m_zip = nullptr;
};

} // namespace Xl
