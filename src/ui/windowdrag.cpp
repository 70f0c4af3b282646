#include "ui/windowdrag.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace {

const char* const FollowerName = "windowDragFollower";

// Moves the window by the mouse's travel since the press; the pressed child keeps the implicit
// mouse grab, so the moves are watched application-wide rather than on the window.
class MouseFollower : public QObject {
public:
    MouseFollower(QWidget* window, const QPoint& pressGlobal)
        : QObject(window), window_(window), pressGlobal_(pressGlobal),
          windowAtPress_(window->pos()) {
        setObjectName(QLatin1String(FollowerName));
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseMove: {
            auto* move = static_cast<QMouseEvent*>(event);
            if (move->buttons() == Qt::NoButton) {
                Finish();
                break;
            }
            if (window_)
                window_->move(windowAtPress_ + move->globalPosition().toPoint() - pressGlobal_);
            return true;
        }
        case QEvent::MouseButtonRelease:
            Finish();
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void Finish() {
        QCoreApplication::instance()->removeEventFilter(this);
        deleteLater();
    }

    QPointer<QWidget> window_;
    QPoint pressGlobal_;
    QPoint windowAtPress_;
};

} // namespace

void StartWindowDrag(QWidget* window, QMouseEvent* press) {
    if (!window || !press)
        return;
    QWidget* topLevel = window->window();
    if (QWidget* grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    // A drag still running from an earlier press must not move the window twice.
    const auto followers =
        topLevel->findChildren<QObject*>(QLatin1String(FollowerName), Qt::FindDirectChildrenOnly);
    for (QObject* follower : followers) {
        QCoreApplication::instance()->removeEventFilter(follower);
        delete follower;
    }
    if (QWindow* handle = topLevel->windowHandle(); handle && handle->startSystemMove())
        return;
    new MouseFollower(topLevel, press->globalPosition().toPoint());
}
