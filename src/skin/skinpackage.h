#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QColor>
#include <QHash>
#include <QImage>
#include <QString>

// The skin package: a versioned, compressed container of named images, colours and metrics.
//
// Layout (little-endian): "QLSK", u16 version, u16 reserved (0), u32 payload size, u32 stored
// size, u32 CRC-32 of the stored bytes, then the payload as a zlib stream. The payload is a
// u16 entry count followed by entries: u8 type (1 image, 2 colour, 3 integer), u8 name length,
// the ASCII name, then a u32 length and PNG bytes, a u32 0xAARRGGBB colour or an i32.
namespace SkinPackageFormat {
inline constexpr quint16 currentVersion = 2;
inline constexpr qsizetype headerSize = 20;
// Bounds that keep a hostile package from asking for much memory.
inline constexpr quint32 maxPayloadSize = 8 * 1024 * 1024;
inline constexpr int maxEntries = 512;
inline constexpr int maxImageSide = 1024;
} // namespace SkinPackageFormat

struct SkinPackage
{
    QHash<QString, QImage> images;
    QHash<QString, QColor> colors;
    QHash<QString, int> metrics;
};

enum class SkinReadStatus {
    Ok,
    Empty,        // no bytes at all
    OlderVersion, // a package of an earlier format: its version word is below the current one
    Damaged,      // anything else that is not a complete, intact package of this format
};

struct SkinReadResult
{
    SkinReadStatus status = SkinReadStatus::Damaged;
    SkinPackage package;
};

// Never throws and never trusts a length it has not checked against the bytes it was given.
SkinReadResult readSkinPackage(QByteArrayView bytes);

// Images are stored as PNG; names are ASCII, at most 255 bytes. version is for tests and
// for building packages of other versions.
QByteArray writeSkinPackage(const SkinPackage &package,
                            quint16 version = SkinPackageFormat::currentVersion);
