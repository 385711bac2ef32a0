#include "hostsettings.h"

#include <algorithm>

#include <QLocale>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

QString acceptLanguageFor(const QStringList &uiLanguages)
{
    QStringList tags;
    for (QString tag : uiLanguages) {
        tag.replace(u'_', u'-');
        if (tag.isEmpty() || tag == u"C" || tag == u"POSIX" || tag.startsWith(u"C-"))
            continue;
        if (!tags.contains(tag, Qt::CaseInsensitive))
            tags << tag;
        const QString language = tag.section(u'-', 0, 0);
        if (language != tag && !tags.contains(language, Qt::CaseInsensitive))
            tags << language;
    }
    if (tags.isEmpty())
        tags = QStringList{QStringLiteral("zh-CN"), QStringLiteral("zh"), QStringLiteral("en")};
    // Weights fall by 0.1 a place and stay above zero, so no language is ever refused.
    QString header = tags.first();
    for (qsizetype i = 1; i < tags.size(); ++i) {
        const int weight = std::max(1, 10 - int(i));
        header += u',' + tags.at(i) + u";q=0." + QString::number(weight);
    }
    return header;
}

void applyHostSettings(QWebEngineSettings *s)
{
    s->setAttribute(QWebEngineSettings::AutoLoadImages, true);
    s->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
    s->setAttribute(QWebEngineSettings::JavascriptEnabled, true);
    s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, true);
    s->setAttribute(QWebEngineSettings::ErrorPageEnabled, true);
    s->setAttribute(QWebEngineSettings::ShowScrollBars, true);
    s->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, true);
    s->setAttribute(QWebEngineSettings::FullScreenSupportEnabled, true);
    s->setAttribute(QWebEngineSettings::PrintElementBackgrounds, true);
    s->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    s->setAttribute(QWebEngineSettings::PdfViewerEnabled, true);
    s->setAttribute(QWebEngineSettings::AllowRunningInsecureContent, false);
    s->setUnknownUrlSchemePolicy(QWebEngineSettings::AllowUnknownUrlSchemesFromUserInteraction);
}

void configureProfile(QWebEngineProfile *profile)
{
    profile->setHttpAcceptLanguage(acceptLanguageFor(QLocale::system().uiLanguages()));
    profile->setPersistentCookiesPolicy(QWebEngineProfile::AllowPersistentCookies);
    profile->setHttpCacheType(QWebEngineProfile::DiskHttpCache);
    applyHostSettings(profile->settings());
}
