#include "pagerules.h"

#include <QMimeDatabase>
#include <QSize>

bool isWebScheme(const QString &scheme)
{
    static const QStringList web{
        QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("file"), QStringLiteral("data"),
        QStringLiteral("blob"), QStringLiteral("about"), QStringLiteral("javascript"), QStringLiteral("qrc"),
        QStringLiteral("view-source"), QStringLiteral("ws"), QStringLiteral("wss"), QStringLiteral("chrome"),
        QStringLiteral("devtools"), QStringLiteral("filesystem")};
    return web.contains(scheme.toLower());
}

QStringList nameFiltersForAccept(const QStringList &acceptedTypes)
{
    const QString all = QStringLiteral("所有文件 (*)");
    QStringList patterns;
    const QMimeDatabase mimes;
    auto add = [&patterns](const QStringList &globs) {
        for (const QString &glob : globs)
            if (!patterns.contains(glob))
                patterns << glob;
    };
    for (const QString &raw : acceptedTypes) {
        const QString type = raw.trimmed().toLower();
        if (type.startsWith(u'.') && type.size() > 1) {
            add({u'*' + type});
        } else if (type.endsWith(u"/*")) {
            const QString family = type.chopped(1);
            for (const QMimeType &mime : mimes.allMimeTypes())
                if (mime.name().startsWith(family))
                    add(mime.globPatterns());
        } else if (const QMimeType mime = mimes.mimeTypeForName(type); mime.isValid()) {
            add(mime.globPatterns());
        }
    }
    if (patterns.isEmpty())
        return {all};
    return {QStringLiteral("可接受的文件 (%1)").arg(patterns.join(u' ')), all};
}

QString featureDescription(QWebEnginePage::Feature feature)
{
    switch (feature) {
    case QWebEnginePage::Notifications:
        return QStringLiteral("显示通知");
    case QWebEnginePage::Geolocation:
        return QStringLiteral("获取您的位置");
    case QWebEnginePage::MediaAudioCapture:
        return QStringLiteral("使用麦克风");
    case QWebEnginePage::MediaVideoCapture:
        return QStringLiteral("使用摄像头");
    case QWebEnginePage::MediaAudioVideoCapture:
        return QStringLiteral("使用摄像头和麦克风");
    case QWebEnginePage::DesktopVideoCapture:
        return QStringLiteral("录制屏幕");
    case QWebEnginePage::DesktopAudioVideoCapture:
        return QStringLiteral("录制屏幕和声音");
    case QWebEnginePage::MouseLock:
        return QStringLiteral("锁定鼠标指针");
    }
    return {};
}

QSize newWindowSize(const QSize &requested, const QSize &available)
{
    QSize size = requested;
    if (size.width() < 100 || size.height() < 100)
        size = QSize(1024, 768);
    return size.boundedTo(available);
}

QString pageMessageText(const QString &message)
{
    constexpr qsizetype limit = 2000;
    return message.size() > limit ? message.left(limit) + u'…' : message;
}
