// Builds a skin package from a manifest. Each manifest line is one entry:
//   image <name> <file.png>    (file relative to the manifest)
//   color <name> #rrggbb | #aarrggbb
//   metric <name> <integer>
// Blank lines and lines starting with '#' are ignored. The package is read back before it is
// written, so a package that the program could not read is never produced.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTextStream>

#include <cstdio>

#include "skinpackage.h"

using namespace Qt::StringLiterals;

namespace {

int fail(const QString &message)
{
    std::fprintf(stderr, "skinpack: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 3) {
        return fail(u"usage: skinpack <manifest> <output package>"_s);
    }
    const QString manifestPath = QString::fromLocal8Bit(argv[1]);
    const QString outputPath = QString::fromLocal8Bit(argv[2]);
    QFile manifest(manifestPath);
    if (!manifest.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return fail(u"cannot read "_s + manifestPath);
    }
    const QDir base = QFileInfo(manifestPath).absoluteDir();
    SkinPackage package;
    QTextStream in(&manifest);
    int lineNumber = 0;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        ++lineNumber;
        if (line.isEmpty() || line.startsWith(u'#')) {
            continue;
        }
        const QStringList fields = line.split(u' ', Qt::SkipEmptyParts);
        const QString where = manifestPath + u':' + QString::number(lineNumber) + u": "_s;
        if (fields.size() != 3) {
            return fail(where + u"expected three fields"_s);
        }
        const QString &kind = fields[0];
        const QString &name = fields[1];
        if (kind == u"image") {
            QImage image(base.filePath(fields[2]));
            if (image.isNull()) {
                return fail(where + u"cannot read image "_s + fields[2]);
            }
            package.images.insert(name, image);
        } else if (kind == u"color") {
            const QColor color = QColor::fromString(fields[2]);
            if (!color.isValid()) {
                return fail(where + u"not a colour: "_s + fields[2]);
            }
            package.colors.insert(name, color);
        } else if (kind == u"metric") {
            bool ok = false;
            const int value = fields[2].toInt(&ok);
            if (!ok) {
                return fail(where + u"not an integer: "_s + fields[2]);
            }
            package.metrics.insert(name, value);
        } else {
            return fail(where + u"unknown entry kind "_s + kind);
        }
    }
    const QByteArray bytes = writeSkinPackage(package);
    if (readSkinPackage(bytes).status != SkinReadStatus::Ok) {
        return fail(u"the package does not read back"_s);
    }
    QDir().mkpath(QFileInfo(outputPath).absolutePath());
    QFile out(outputPath);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size()) {
        return fail(u"cannot write "_s + outputPath);
    }
    return 0;
}
