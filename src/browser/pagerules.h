#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <QWebEnginePage>

// Decisions the browser view takes about page requests, without widgets.

// Schemes the engine loads itself; any other scheme (mailto:, tel:, …) belongs to the desktop.
bool isWebScheme(const QString &scheme);

// File dialog name filters for an <input type=file accept=…> list: one filter with every
// accepted pattern first, then "all files"; only "all files" when nothing usable is given.
QStringList nameFiltersForAccept(const QStringList &acceptedTypes);

// The user's wording for a permission, e.g. "使用摄像头"; empty for one never asked about.
QString featureDescription(QWebEnginePage::Feature feature);

// The size for a new window: what the page asks for, else a default, always inside available.
QSize newWindowSize(const QSize &requested, const QSize &available);

// Message box text: the page's message kept as plain text, at most a screenful.
QString pageMessageText(const QString &message);
