#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>

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

// Calls act with the next modal widget of type T once it is shown; checks for it every 20 ms
// for at most timeoutMs. exec() dialogs block the caller, so this has to be arranged first.
template<typename T>
void whenModal(std::function<void(T *)> act, int timeoutMs = 10000)
{
    auto *timer = new QTimer(qApp);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, clock, act, timeoutMs] {
        if (auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget());
            dialog && dialog->isVisible()) {
            timer->deleteLater();
            timer->stop();
            act(dialog);
        } else if (clock->elapsed() > timeoutMs) {
            timer->deleteLater();
            timer->stop();
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
