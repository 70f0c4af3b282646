#include "ui/errorbox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

#include <stdexcept>

namespace {

QList<QMessageBox*> VisibleBoxes() {
    QList<QMessageBox*> boxes;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible())
            boxes << box;
    return boxes;
}

} // namespace

// The default error box: a failure's text as it is, a Chinese button, and never more than one.
class ErrorBoxTest : public QObject {
    Q_OBJECT

private slots:
    void showsTheFailureAsPlainText() {
        const QString text = QStringLiteral("Invalid HEX digit in URL <b>%zz</b>");
        QString shown;
        Qt::TextFormat format = Qt::AutoText;
        QStringList buttons;
        QTimer::singleShot(0, [&] {
            if (!QTest::qWaitFor([] { return VisibleBoxes().size() == 1; }))
                return;
            QMessageBox* box = VisibleBoxes().first();
            shown = box->text();
            format = box->textFormat();
            for (QAbstractButton* button : box->buttons())
                buttons << button->text();
            QTest::keyClick(box, Qt::Key_Return);
        });
        RunHandler([&] { throw std::runtime_error(text.toStdString()); });
        QCOMPARE(shown, text);
        QCOMPARE(format, Qt::PlainText);
        QCOMPARE(buttons, QStringList{QStringLiteral("确定")});
    }

    // A page that keeps failing (a frame added again and again) while the box is open does not
    // stack error boxes: the later failures return at once.
    void oneBoxAtATime() {
        int nestedReturned = 0;
        int boxesSeen = 0;
        QTimer::singleShot(0, [&] {
            if (!QTest::qWaitFor([] { return VisibleBoxes().size() == 1; }))
                return;
            for (int i = 0; i < 3; ++i) {
                ShowDefaultError(QStringLiteral("later failure"));
                ++nestedReturned;
            }
            boxesSeen = static_cast<int>(VisibleBoxes().size());
            QTest::keyClick(VisibleBoxes().first(), Qt::Key_Return);
        });
        ShowDefaultError(QStringLiteral("first failure"));
        QCOMPARE(nestedReturned, 3);
        QCOMPARE(boxesSeen, 1);
        QVERIFY(VisibleBoxes().isEmpty());

        // Once it is closed, the next failure is shown again.
        bool shownAgain = false;
        QTimer::singleShot(0, [&] {
            shownAgain = QTest::qWaitFor([] { return VisibleBoxes().size() == 1; });
            if (shownAgain)
                QTest::keyClick(VisibleBoxes().first(), Qt::Key_Return);
        });
        ShowDefaultError(QStringLiteral("next failure"));
        QVERIFY(shownAgain);
    }
};

QTEST_MAIN(ErrorBoxTest)
#include "errorbox_gui_test.moc"
