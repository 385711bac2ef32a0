#include "skinpackage.h"

#include <QBuffer>
#include <QImageReader>

#include <zlib.h>

#include <optional>

namespace {

constexpr char magic[4] = {'Q', 'L', 'S', 'K'};

enum EntryType : quint8 { ImageEntry = 1, ColorEntry = 2, MetricEntry = 3 };

// Reads little-endian values from a span; every read checks what is left.
class Cursor
{
public:
    explicit Cursor(QByteArrayView bytes) : m_bytes(bytes) {}

    template<typename T>
    std::optional<T> read()
    {
        if (m_bytes.size() - m_pos < qsizetype(sizeof(T))) {
            return std::nullopt;
        }
        T value = 0;
        for (qsizetype i = 0; i < qsizetype(sizeof(T)); ++i) {
            using U = std::make_unsigned_t<T>;
            value = T(U(value) | U(U(quint8(m_bytes[m_pos + i])) << (8 * i)));
        }
        m_pos += qsizetype(sizeof(T));
        return value;
    }

    std::optional<QByteArrayView> take(qsizetype count)
    {
        if (count < 0 || m_bytes.size() - m_pos < count) {
            return std::nullopt;
        }
        const QByteArrayView part = m_bytes.sliced(m_pos, count);
        m_pos += count;
        return part;
    }

    bool atEnd() const { return m_pos == m_bytes.size(); }
    QByteArrayView rest() const { return m_bytes.sliced(m_pos); }

private:
    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
};

template<typename T>
void put(QByteArray &out, T value)
{
    using U = std::make_unsigned_t<T>;
    for (size_t i = 0; i < sizeof(T); ++i) {
        out.append(char(quint8(U(value) >> (8 * i))));
    }
}

// Inflates into exactly `expected` bytes; a stream that is longer, shorter or broken fails.
std::optional<QByteArray> inflateExactly(QByteArrayView stored, quint32 expected)
{
    QByteArray out(qsizetype(expected), Qt::Uninitialized);
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) {
        return std::nullopt;
    }
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(stored.data()));
    stream.avail_in = uInt(stored.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    const int rc = inflate(&stream, Z_FINISH);
    const bool complete = rc == Z_STREAM_END && stream.avail_out == 0 && stream.avail_in == 0;
    inflateEnd(&stream);
    if (!complete) {
        return std::nullopt;
    }
    return out;
}

std::optional<QImage> decodeImage(QByteArrayView png)
{
    QByteArray data = png.toByteArray();
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    reader.setAutoTransform(false);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty() || size.width() > SkinPackageFormat::maxImageSide
        || size.height() > SkinPackageFormat::maxImageSide) {
        return std::nullopt;
    }
    QImage image;
    if (!reader.read(&image) || image.size() != size) {
        return std::nullopt;
    }
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

std::optional<SkinPackage> parsePayload(QByteArrayView payload)
{
    Cursor in(payload);
    const auto count = in.read<quint16>();
    if (!count || *count > SkinPackageFormat::maxEntries) {
        return std::nullopt;
    }
    SkinPackage package;
    QHash<QString, bool> seen;
    for (int i = 0; i < *count; ++i) {
        const auto type = in.read<quint8>();
        const auto nameLength = type ? in.read<quint8>() : std::nullopt;
        const auto nameBytes = nameLength ? in.take(*nameLength) : std::nullopt;
        if (!nameBytes || nameBytes->isEmpty()) {
            return std::nullopt;
        }
        for (const char c : *nameBytes) {
            if (c <= ' ' || c > '~') {
                return std::nullopt;
            }
        }
        const QString name = QString::fromLatin1(*nameBytes);
        if (seen.contains(name)) {
            return std::nullopt;
        }
        seen.insert(name, true);
        switch (*type) {
        case ImageEntry: {
            const auto length = in.read<quint32>();
            const auto png = length ? in.take(qsizetype(*length)) : std::nullopt;
            const auto image = png ? decodeImage(*png) : std::nullopt;
            if (!image) {
                return std::nullopt;
            }
            package.images.insert(name, *image);
            break;
        }
        case ColorEntry: {
            const auto argb = in.read<quint32>();
            if (!argb) {
                return std::nullopt;
            }
            package.colors.insert(name, QColor::fromRgba(*argb));
            break;
        }
        case MetricEntry: {
            const auto value = in.read<qint32>();
            if (!value) {
                return std::nullopt;
            }
            package.metrics.insert(name, *value);
            break;
        }
        default:
            return std::nullopt;
        }
    }
    if (!in.atEnd()) {
        return std::nullopt;
    }
    return package;
}

} // namespace

SkinReadResult readSkinPackage(QByteArrayView bytes)
{
    SkinReadResult result;
    if (bytes.isEmpty()) {
        result.status = SkinReadStatus::Empty;
        return result;
    }
    Cursor in(bytes);
    const auto head = in.take(4);
    if (!head || *head != QByteArrayView(magic, 4)) {
        return result;
    }
    const auto version = in.read<quint16>();
    if (!version) {
        return result;
    }
    if (*version < SkinPackageFormat::currentVersion) {
        result.status = SkinReadStatus::OlderVersion;
        return result;
    }
    const auto reserved = in.read<quint16>();
    const auto payloadSize = in.read<quint32>();
    const auto storedSize = in.read<quint32>();
    const auto crc = in.read<quint32>();
    if (*version != SkinPackageFormat::currentVersion || !crc || *reserved != 0
        || *payloadSize > SkinPackageFormat::maxPayloadSize
        || qsizetype(*storedSize) != in.rest().size()) {
        return result;
    }
    const QByteArrayView stored = in.rest();
    const auto actualCrc = crc32(0L, reinterpret_cast<const Bytef *>(stored.data()), uInt(stored.size()));
    if (actualCrc != *crc) {
        return result;
    }
    const auto payload = inflateExactly(stored, *payloadSize);
    auto package = payload ? parsePayload(*payload) : std::nullopt;
    if (!package) {
        return result;
    }
    result.status = SkinReadStatus::Ok;
    result.package = std::move(*package);
    return result;
}

QByteArray writeSkinPackage(const SkinPackage &package, quint16 version)
{
    QByteArray payload;
    put<quint16>(payload, quint16(package.images.size() + package.colors.size()
                                  + package.metrics.size()));
    const auto putName = [&payload](EntryType type, const QString &name) {
        const QByteArray latin = name.toLatin1();
        Q_ASSERT(!latin.isEmpty() && latin.size() <= 255);
        put<quint8>(payload, type);
        put<quint8>(payload, quint8(latin.size()));
        payload.append(latin);
    };
    // Sorted, so the same sources always give the same bytes.
    QStringList names = package.images.keys();
    names.sort();
    for (const QString &name : std::as_const(names)) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        package.images.value(name).save(&buffer, "PNG");
        putName(ImageEntry, name);
        put<quint32>(payload, quint32(png.size()));
        payload.append(png);
    }
    names = package.colors.keys();
    names.sort();
    for (const QString &name : std::as_const(names)) {
        putName(ColorEntry, name);
        put<quint32>(payload, package.colors.value(name).rgba());
    }
    names = package.metrics.keys();
    names.sort();
    for (const QString &name : std::as_const(names)) {
        putName(MetricEntry, name);
        put<qint32>(payload, package.metrics.value(name));
    }

    uLongf storedSize = compressBound(uLong(payload.size()));
    QByteArray stored(qsizetype(storedSize), Qt::Uninitialized);
    compress2(reinterpret_cast<Bytef *>(stored.data()), &storedSize,
              reinterpret_cast<const Bytef *>(payload.constData()), uLong(payload.size()), 9);
    stored.resize(qsizetype(storedSize));

    QByteArray out(magic, 4);
    put<quint16>(out, version);
    put<quint16>(out, 0);
    put<quint32>(out, quint32(payload.size()));
    put<quint32>(out, quint32(stored.size()));
    put<quint32>(out, quint32(crc32(0L, reinterpret_cast<const Bytef *>(stored.constData()),
                                    uInt(stored.size()))));
    out.append(stored);
    return out;
}
