// Any bytes given to the skin package reader: it must return a status, never crash, hang or
// allocate without bound. An odd first byte wraps the rest as the payload of a package with a
// correct header and checksum, so the fuzzer also reaches the entries behind the checksum.
#include <cstddef>
#include <cstdint>

#include <zlib.h>

#include "skinpackage.h"

namespace {

QByteArray wrapPayload(QByteArrayView payload)
{
    uLongf storedSize = compressBound(uLong(payload.size()));
    QByteArray stored(qsizetype(storedSize), Qt::Uninitialized);
    compress2(reinterpret_cast<Bytef *>(stored.data()), &storedSize,
              reinterpret_cast<const Bytef *>(payload.data()), uLong(payload.size()), 1);
    stored.resize(qsizetype(storedSize));
    QByteArray out("QLSK");
    const auto put = [&out](quint32 value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            out.append(char(quint8(value >> (8 * i))));
        }
    };
    put(SkinPackageFormat::currentVersion, 2);
    put(0, 2);
    put(quint32(payload.size()), 4);
    put(quint32(stored.size()), 4);
    put(quint32(crc32(0L, reinterpret_cast<const Bytef *>(stored.constData()), uInt(stored.size()))), 4);
    return out + stored;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QByteArray wrapped;
    if (size > 0 && (data[0] & 1) != 0) {
        wrapped = wrapPayload(bytes.sliced(1));
        bytes = wrapped;
    }
    const SkinReadResult result = readSkinPackage(bytes);
    if (result.status == SkinReadStatus::Ok) {
        // A package that reads must write back to one that reads the same.
        const SkinReadResult again = readSkinPackage(writeSkinPackage(result.package));
        if (again.status != SkinReadStatus::Ok || again.package.metrics != result.package.metrics
            || again.package.colors != result.package.colors
            || again.package.images.size() != result.package.images.size()) {
            __builtin_trap();
        }
    }
    return 0;
}
