#pragma once

#include <QDateTime>
#include <QString>

// The clock panel's text, yyyy"年"m"月"d"日" hh":"mm":"ss: month and day without a leading zero,
// the time on the 24-hour clock with literal colons. No locale setting changes it.
QString clockText(const QDateTime &time);

// The maker's contact line: "E_Mail：…　QQ：…　电话：…" (full-width colons, ideographic spaces).
QString contactLine(const QString &email, const QString &qq, const QString &phone);
