#include "tembeddedwb.h"

#include <QCoreApplication>
#include <QWebEnginePage>
#include <QWebEngineProfile>

TEmbeddedWB::TEmbeddedWB(QWidget *parent)
    : QWebEngineView(parent)
{
    setPage(new QWebEnginePage(sharedProfile(), this));
}

TEmbeddedWB::~TEmbeddedWB() = default;

void TEmbeddedWB::Navigate2(const QUrl &url)
{
    load(url);
}

QWebEngineProfile *TEmbeddedWB::sharedProfile()
{
    // Owned by the application object so it outlives every page that uses it.
    static QWebEngineProfile *profile = new QWebEngineProfile(QStringLiteral("QuorLims"),
                                                              QCoreApplication::instance());
    return profile;
}
