#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>

// Answers a dialog or a popup menu that the code under test opens with
// exec(): as soon as a modal dialog or popup of type T is on top, action runs
// on it (and is expected to close it). Register before the click that opens the dialog. A dialog
// that does not turn up within five seconds fails the test, and whatever modal window is up then is
// closed so the test does not hang.
template <class T> void WhenShown(std::function<void(T*)> action) {
    auto* timer = new QTimer;
    const QDeadlineTimer deadline(5000);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, deadline, action] {
        QWidget* top = QApplication::activePopupWidget();
        if (!top)
            top = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<T*>(top)) {
            timer->stop();
            timer->deleteLater();
            action(dialog);
        } else if (deadline.hasExpired()) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "expected dialog " << T::staticMetaObject.className();
            if (top)
                top->close();
        }
    });
    timer->start();
}
