#pragma once

#include <QString>

namespace Platform {

// Windows attribute values, kept the way Samba keeps them: the extended
// attribute "user.DOSATTRIB". Read-only is also the file's real permission (no
// write bit) and is read back from it; a dot name reads as hidden; a folder
// reads with the directory bit.
enum FileAttribute : int
{
    AttrNormal = 0,
    AttrReadOnly = 1,
    AttrHidden = 2,
    AttrSystem = 4,
    AttrDirectory = 16,
    AttrArchive = 32,
};

// The attribute value of `path`; -1 when the file cannot be examined.
int readAttributes(const QString& path);

// Same, for the entry `entryName` of the open folder `dirFd`, whose full native
// path is `nativePath`.
int readAttributesAt(int dirFd, const char* entryName, const QByteArray& nativePath);

// Only the value stored in the extended attribute; 0 when there is none.
int readStoredAttributes(const QByteArray& nativePath);
// Same for the entry `entryName` of the folder open as `dirFd`, whose full
// native path is `nativePath` (used where the kernel cannot read it relative
// to the folder).
int readStoredAttributesAt(int dirFd, const char* entryName, const QByteArray& nativePath);

// The attribute value from a stat result already at hand and the stored value.
int attributesFromStat(const QByteArray& nativePath, unsigned mode, bool dotName);

// Replaces the whole attribute value. Fails (changing nothing) when the file
// system cannot store the value, for example when extended attributes are not
// supported and the value holds more than the read-only bit.
bool writeAttributes(const QString& path, int value, QString* error = nullptr);

// Parses a stored "user.DOSATTRIB" value: Samba's binary form (which begins
// with the text form) or the legacy "0x20" text. -1 when it holds neither.
int parseDosAttrib(const QByteArray& stored);
QByteArray formatDosAttrib(int value);

} // namespace Platform
