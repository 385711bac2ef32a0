#include "statustexts.h"

using namespace Qt::StringLiterals;

QString clockText(const QDateTime &time)
{
    const QDate date = time.date();
    const QTime clock = time.time();
    const auto twoDigits = [](int value) { return QString::number(value).rightJustified(2, u'0'); };
    return QString::number(date.year()).rightJustified(4, u'0') + u'年' + QString::number(date.month())
        + u'月' + QString::number(date.day()) + u"日 "_s + twoDigits(clock.hour()) + u':'
        + twoDigits(clock.minute()) + u':' + twoDigits(clock.second());
}

QString contactLine(const QString &email, const QString &qq, const QString &phone)
{
    return u"E_Mail："_s + email + u'\u3000' + u"QQ："_s + qq + u'\u3000' + u"电话："_s + phone;
}
