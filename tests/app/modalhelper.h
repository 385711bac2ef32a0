#pragma once

#include <functional>

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>
#include <QtTest>

// Runs act on the modal dialog once exec() has shown it and, on a window system that activates
// windows, once it is active (for at most about a second); the check repeats every few
// milliseconds and gives up after about five seconds.
inline void whenModal(std::function<void(QWidget *)> act)
{
    auto *timer = new QTimer(qApp);
    timer->setInterval(5);
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, tries, act = std::move(act)] {
        QWidget *modal = QApplication::activeModalWidget();
        ++*tries;
        if (modal && modal->isVisible() && (modal->isActiveWindow() || *tries > 200)) {
            timer->deleteLater();
            timer->stop();
            act(modal);
        } else if (*tries > 1000) {
            timer->deleteLater();
            timer->stop();
        }
    });
    timer->start();
}

struct KeyStroke
{
    Qt::Key key;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};

// Types the keys one after the other into whatever has the focus, as the keyboard would.
inline void typeKeys(QWidget *window, const QList<KeyStroke> &keys)
{
    for (const KeyStroke &stroke : keys) {
        QPointer<QWidget> target = QApplication::focusWidget();
        if (!target || target->window() != window)
            target = window->focusWidget() ? window->focusWidget() : window;
        QTest::keyPress(target, stroke.key, stroke.modifiers);
        if (target)
            QTest::keyRelease(target, stroke.key, stroke.modifiers);
    }
}
