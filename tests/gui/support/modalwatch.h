#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>

// Acts on the first modal window that satisfies the condition, once it is shown: modal
// windows run their own loop, so the test reaches them from a timer.
inline void WhenModalShown(const std::function<bool(QWidget*)>& matches,
                           const std::function<void(QWidget*)>& act) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, matches, act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible() && matches(modal)) {
            timer->stop();
            timer->deleteLater();
            act(modal);
        }
    });
    timer->start(20);
}

// The same for the first modal window of type T.
template <typename T> void WhenModalShown(const std::function<void(T*)>& act) {
    WhenModalShown([](QWidget* w) { return qobject_cast<T*>(w) != nullptr; },
                   [act](QWidget* w) { act(static_cast<T*>(w)); });
}
