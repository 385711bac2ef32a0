#pragma once

#include <QString>
#include <QStringList>

class QWebEngineProfile;
class QWebEngineSettings;

// The Accept-Language value for the user's UI languages (QLocale::uiLanguages() order).
// "C" and "POSIX" say nothing about the user and are skipped; each regional tag is followed
// by its bare language; with nothing usable left the laboratory's own languages are sent.
QString acceptLanguageFor(const QStringList &uiLanguages);

// The fixed host settings every view of the program runs with (see README.md for the table).
void applyHostSettings(QWebEngineSettings *settings);

// Profile-wide settings: language, persistent cookies and cache.
void configureProfile(QWebEngineProfile *profile);
