#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QMainWindow>
#include <QWebEnginePage>

#include "tembeddedwb.h"

#include <functional>
#include <optional>

// Runs script in page and waits (bounded) for its result; an empty optional when none came.
inline std::optional<QVariant> evalJs(QWebEnginePage *page, const QString &script, int timeoutMs = 5000)
{
    auto result = std::make_shared<std::optional<QVariant>>();
    page->runJavaScript(script, [result](const QVariant &v) { *result = v; });
    QElapsedTimer clock;
    clock.start();
    while (!result->has_value() && clock.elapsed() < timeoutMs)
        QTest::qWait(20);
    return *result;
}

inline QVariant js(QWebEnginePage *page, const QString &script)
{
    return evalJs(page, script).value_or(QVariant());
}

// Calls act with the next modal widget of type T once it is shown and enabled; checks every
// 20 ms for at most timeoutMs. exec() dialogs block the caller, so this has to be arranged
// first. When the time is up, whatever modal widget is open is closed, so a test fails instead
// of hanging in a dialog nobody answers.
template<typename T>
void whenModal(std::function<void(T *)> act, int timeoutMs = 30000)
{
    auto *timer = new QTimer(qApp);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, clock, act, timeoutMs] {
        if (auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget());
            dialog && dialog->isVisible() && dialog->isEnabled()) {
            timer->deleteLater();
            timer->stop();
            act(dialog);
        } else if (clock->elapsed() > timeoutMs) {
            timer->deleteLater();
            timer->stop();
            if (QWidget *stuck = QApplication::activeModalWidget()) {
                qWarning("no expected dialog appeared in time; closing %s", stuck->metaObject()->className());
                stuck->close();
            }
        }
    });
    timer->start();
}

// Runs act once ready() holds or timeoutMs have passed, checking every 50 ms; for waits inside
// a modal dialog's own event loop, where QTRY in the test body cannot run. The test body
// checks the outcome afterwards.
inline void whenReady(std::function<bool()> ready, std::function<void()> act, int timeoutMs = 20000)
{
    auto *timer = new QTimer(qApp);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    timer->setInterval(50);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, clock, ready, act, timeoutMs] {
        const bool done = ready();
        if (done || clock->elapsed() > timeoutMs) {
            timer->stop();
            timer->deleteLater();
            act();
        }
    });
    timer->start();
}

inline QString testWindowTitle()
{
    return QStringLiteral("实验室信息管理系统（LIMS）");
}

// Sets what the program's entry sets before any view exists.
inline void setUpApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("QuorLimsDemoTest"));
    QGuiApplication::setApplicationDisplayName(testWindowTitle());
}

// The view inside a main window, as the program builds it.
struct Shell
{
    QMainWindow window;
    TEmbeddedWB *view = new TEmbeddedWB(&window);
    Shell()
    {
        window.setCentralWidget(view);
        window.resize(900, 700);
    }
};

// The centre of the page element with this id, in view coordinates.
inline QPoint elementCentre(QWebEnginePage *page, const QString &id)
{
    const QVariantList xy = js(page, QStringLiteral(
        "(() => { const r = document.getElementById('%1').getBoundingClientRect();"
        " return [r.left + r.width / 2, r.top + r.height / 2]; })()").arg(id)).toList();
    return xy.size() == 2 ? QPoint(xy[0].toInt(), xy[1].toInt()) : QPoint();
}

// A real mouse click on the element (pages may only open windows or file choosers on one).
// Chooses file in Qt's own file dialog as a user typing its name would, and accepts. selectFile()
// alone leaves the name field untouched while that field has the keyboard focus (which depends on
// when the window manager activates the dialog), and accepting then picks another name or asks a
// question in a box of its own that nothing answers.
inline void chooseFile(QFileDialog *dialog, const QString &file)
{
    dialog->selectFile(file);
    if (auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
        name->setText(file);
    static_cast<QDialog *>(dialog)->accept();
}

inline void clickElement(TEmbeddedWB *view, const QString &id)
{
    const QPoint at = elementCentre(view->page(), id);
    const double zoom = view->zoomFactor();
    QTest::mouseClick(view->focusProxy(), Qt::LeftButton, {}, QPoint(int(at.x() * zoom), int(at.y() * zoom)));
}

// Shows the shell with url loaded; false when the page did not load.
inline bool openShell(Shell &shell, const QUrl &url)
{
    QSignalSpy loaded(shell.view, &QWebEngineView::loadFinished);
    shell.view->Navigate2(url);
    shell.window.show();
    if (!QTest::qWaitForWindowExposed(&shell.window) || (loaded.isEmpty() && !loaded.wait(15000)))
        return false;
    shell.window.activateWindow();
    return loaded.first().first().toBool();
}
