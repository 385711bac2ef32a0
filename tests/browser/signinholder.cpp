// Runs one program start against the fixture server: "signin URL NAME" signs in through the
// demo's form, "whoami URL" prints who the server thinks is signed in. Exits when done.
#include <QApplication>
#include <QTimer>
#include <QWebEnginePage>

#include <cstdio>

#include "tembeddedwb.h"

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("QuorLimsDemoSignInTest"));
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3)
        return 2;
    const QString mode = args.at(1);
    const QUrl url(args.at(2));
    const QString name = args.value(3);

    int status = 1;
    {
        TEmbeddedWB view;
        QTimer::singleShot(20000, &app, [] { QCoreApplication::exit(3); });
        QObject::connect(&view, &QWebEngineView::loadFinished, &app, [&](bool) {
            const QString path = view.url().path();
            if (mode == u"signin" && path.endsWith(u"/DemoQuorLims")) {
                view.page()->runJavaScript(
                    QStringLiteral("document.getElementById('user').value = '%1';"
                                   "document.getElementById('login').submit();").arg(name));
            } else {
                view.page()->runJavaScript(QStringLiteral("document.getElementById('user').textContent"),
                                           [&](const QVariant &text) {
                                               std::printf("%s\n", text.toString().toUtf8().constData());
                                               std::fflush(stdout);
                                               status = 0;
                                               QCoreApplication::quit();
                                           });
            }
        });
        view.Navigate2(url);
        view.show();
        QApplication::exec();
    }
    return status;
}
