#include "ui/msgbox.h"
#include "ui/msgform.h"
#include "ui/picclip.h"

#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QScreen>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

// What a failing test gets back instead of hanging on a box nobody closed.
constexpr int LeftOpen = 99;

const QString Tip = QStringLiteral("温馨提示");

struct LabelSeen {
    QRect place;
    QString text;
};

struct BoxSeen {
    bool shown = false;
    QPoint pos;
    QString title;
    LabelSeen body, body2, body3;
    QRect ok, cancel;
    bool okVisible = false, cancelVisible = false;
};

LabelSeen Seen(const QLabel* label) {
    return {label->geometry(), label->text()};
}

BoxSeen Look(TMsgForm* form) {
    BoxSeen seen;
    seen.shown = form->isVisible();
    seen.pos = form->pos();
    seen.title = form->MsgTitle->text();
    seen.body = Seen(form->MsgBody);
    seen.body2 = Seen(form->MsgBody2);
    seen.body3 = Seen(form->MsgBody3);
    seen.ok = form->ImgBtnOk->geometry();
    seen.cancel = form->ImgBtnCancel->geometry();
    seen.okVisible = form->ImgBtnOk->isVisible();
    seen.cancelVisible = form->ImgBtnCancel->isVisible();
    return seen;
}

// Runs `show` (which shows the box modally and returns its result) and, while the box is up,
// `whileShown`. A box the steps leave open is closed with LeftOpen.
int WhileShown(const std::function<int()>& show, std::function<void(TMsgForm*)> whileShown) {
    QTimer::singleShot(0, [whileShown] {
        TMsgForm* form = MsgForm();
        if (!QTest::qWaitFor([form] { return form->isVisible(); }))
            return;
        whileShown(form);
        if (form->isVisible())
            form->done(LeftOpen);
    });
    return show();
}

// Shows the box and notes what it shows; Enter closes it.
BoxSeen LookAt(const std::function<int()>& show) {
    auto seen = std::make_shared<BoxSeen>();
    WhileShown(show, [seen](TMsgForm* form) {
        *seen = Look(form);
        QTest::keyClick(form, Qt::Key_Return);
    });
    return *seen;
}

std::function<int()> Info(const QString& text, const QString& title = Tip) {
    return [text, title] {
        ShowInfo(text, title);
        return 0;
    };
}

std::function<int()> Question(const QString& text, const QString& title = Tip) {
    return [text, title] { return ShowQuestion(text, title); };
}

std::function<int()> Box(int kind, const QString& text) {
    return [kind, text] { return ShowMsgBox(kind, Tip, text); };
}

QImage Face(TSmartImage* button) {
    return button->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QImage StripHalf(const char* strip, int half) {
    return QImage(QLatin1String(strip))
        .convertToFormat(QImage::Format_RGB32)
        .copy(65 * half, 0, 65, 26);
}

} // namespace

class MsgBoxTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<QMouseEvent*>(); }
    void createdOnFirstUse();
    void bodyLayout_data();
    void bodyLayout();
    void buttonsByKind_data();
    void buttonsByKind();
    void infoAfterQuestionAndBack();
    void secondMessageWhileOneIsShowing();
    void okKeys_data();
    void okKeys();
    void otherKeysDoNothing_data();
    void otherKeysDoNothing();
    void buttonClicks_data();
    void buttonClicks();
    void emptyTitleKeepsTheLast();
    void centredOnTheScreen();
    void hoverButtons();
    void dragMovesTheBox_data();
    void dragMovesTheBox();
};

void MsgBoxTest::createdOnFirstUse() {
    TMsgForm* form = MsgForm();
    QVERIFY(form);
    QCOMPARE(MsgForm(), form);
    QCOMPARE(form->objectName(), QStringLiteral("MsgForm"));
    QCOMPARE(form->size(), QSize(318, 150));
    QVERIFY(form->windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(form->MsgTitle->text(), Tip);
    QCOMPARE(form->MsgTitle->geometry(), QRect(8, 7, 500, 13));
    QCOMPARE(form->MsgTitle->font().pixelSize(), 13);
    QVERIFY(form->MsgTitle->font().bold());
    QCOMPARE(form->MsgBody->font().pixelSize(), 13);
    QVERIFY(!form->MsgBody->font().bold());
    QCOMPARE(form->MsgBody2->font().pixelSize(), 11);
    QCOMPARE(form->MsgBody->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QCOMPARE(form->MsgBody2->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    QCOMPARE(form->ImgBg->geometry(), QRect(0, 0, 318, 150));
    QCOMPARE(form->ImgBg->pixmap().size(), QSize(160, 75));
    QCOMPARE(form->ImgBtnOk->geometry(), QRect(72, 104, 65, 26));
    QCOMPARE(form->ImgBtnCancel->geometry(), QRect(176, 104, 65, 26));
    QCOMPARE(form->ImgBtnOk->CellCount(), 2);
    QCOMPARE(form->ImgBtnOk->Cell(), 1);
    // Rounded corners: the corner pixels are cut, their neighbours kept.
    const QRegion mask = form->mask();
    QVERIFY(!mask.contains(QPoint(0, 0)));
    QVERIFY(!mask.contains(QPoint(317, 149)));
    QVERIFY(mask.contains(QPoint(1, 0)));
    QVERIFY(mask.contains(QPoint(159, 75)));
}

void MsgBoxTest::bodyLayout_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("tops"); // MsgBody, MsgBody2, MsgBody3; -1: not checked
    QTest::addColumn<QStringList>("lines");

    const QString host = QStringLiteral("主机地址配置错误。");
    QTest::newRow("one line") << QString() << host << QList<int>{60, -1, -1}
                              << QStringList{host, {}, {}};
    QTest::newRow("two lines") << QString()
                               << QStringLiteral("加载系统需要的组件失败。\n请重新安装配套软件。")
                               << QList<int>{52, 72, -1}
                               << QStringList{QStringLiteral("加载系统需要的组件失败。"),
                                              QStringLiteral("请重新安装配套软件。"),
                                              {}};
    QTest::newRow("three lines") << QString() << QStringLiteral("第一行\n第二行\n第三行")
                                 << QList<int>{39, 59, 79}
                                 << QStringList{QStringLiteral("第一行"), QStringLiteral("第二行"),
                                                QStringLiteral("第三行")};
    QTest::newRow("four lines") << QString() << QStringLiteral("一\n二\n三\n四")
                                << QList<int>{39, 59, 79}
                                << QStringList{QStringLiteral("一"), QStringLiteral("二"),
                                               QStringLiteral("三")};
    QTest::newRow("trailing line feed")
        << QString() << QStringLiteral("只有一行\n") << QList<int>{52, 72, -1}
        << QStringList{QStringLiteral("只有一行"), {}, {}};
    // Lines of an earlier message must not linger.
    QTest::newRow("one line after three")
        << QStringLiteral("a\nb\nc") << host << QList<int>{60, -1, -1} << QStringList{host, {}, {}};
    QTest::newRow("two lines after three")
        << QStringLiteral("a\nb\nc") << QStringLiteral("x\ny") << QList<int>{52, 72, -1}
        << QStringList{QStringLiteral("x"), QStringLiteral("y"), {}};
}

void MsgBoxTest::bodyLayout() {
    QFETCH(QString, before);
    QFETCH(QString, text);
    QFETCH(QList<int>, tops);
    QFETCH(QStringList, lines);
    if (!before.isEmpty())
        QVERIFY(LookAt(Info(before)).shown);

    const BoxSeen seen = LookAt(Info(text));
    QVERIFY(seen.shown);
    const LabelSeen labels[] = {seen.body, seen.body2, seen.body3};
    const int heights[] = {21, 25, 25};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(labels[i].text, lines[i]);
        QCOMPARE(labels[i].place.left(), 8);
        QCOMPARE(labels[i].place.size(), QSize(305, heights[i]));
        if (tops[i] >= 0)
            QCOMPARE(labels[i].place.top(), tops[i]);
    }
}

void MsgBoxTest::buttonsByKind_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("okLeft");
    QTest::addColumn<bool>("cancelShown");
    QTest::newRow("OK only") << 1 << 126 << false;
    QTest::newRow("OK and Cancel") << 2 << 64 << true;
    QTest::newRow("kind 0 asks") << 0 << 64 << true;
    QTest::newRow("kind 5 asks") << 5 << 64 << true;
}

void MsgBoxTest::buttonsByKind() {
    QFETCH(int, kind);
    QFETCH(int, okLeft);
    QFETCH(bool, cancelShown);
    const BoxSeen seen = LookAt(Box(kind, QStringLiteral("确认关闭吗？")));
    QVERIFY(seen.shown);
    QCOMPARE(seen.ok, QRect(okLeft, 104, 65, 26));
    QVERIFY(seen.okVisible);
    QCOMPARE(seen.cancelVisible, cancelShown);
    if (cancelShown)
        QCOMPARE(seen.cancel, QRect(168, 104, 65, 26));
}

void MsgBoxTest::infoAfterQuestionAndBack() {
    const QString text = QStringLiteral("确认关闭吗？");
    BoxSeen seen = LookAt(Question(text));
    QCOMPARE(seen.ok.left(), 64);
    QCOMPARE(seen.cancel.left(), 168);
    QVERIFY(seen.cancelVisible);

    seen = LookAt(Info(text));
    QCOMPARE(seen.ok.left(), 126);
    QVERIFY(!seen.cancelVisible);

    seen = LookAt(Question(text));
    QCOMPARE(seen.ok.left(), 64);
    QCOMPARE(seen.cancel.left(), 168);
    QVERIFY(seen.cancelVisible);
}

// A message that comes while the box shows a question (a failing settings read while the
// close question is up) gets a box of its own: the open question keeps its text and its answer.
void MsgBoxTest::secondMessageWhileOneIsShowing() {
    const QString question = QStringLiteral("确认关闭吗？");
    const QString info = QStringLiteral("主机地址配置错误。");
    auto seenInSecond = std::make_shared<QString>();
    auto firstAfter = std::make_shared<QString>();
    const int answer = WhileShown(Question(question), [=](TMsgForm* first) {
        QTimer::singleShot(0, [=] {
            TMsgForm* second = nullptr;
            const bool shown = QTest::qWaitFor([&] {
                for (QWidget* w : QApplication::topLevelWidgets()) {
                    auto* form = qobject_cast<TMsgForm*>(w);
                    if (form && form != first && form->isVisible())
                        second = form;
                }
                return second != nullptr;
            });
            if (!shown)
                return;
            *seenInSecond = second->MsgBody->text();
            QTest::keyClick(second, Qt::Key_Return);
        });
        ShowInfo(info, Tip);
        *firstAfter = first->MsgBody->text();
        if (first->isVisible())
            QTest::keyClick(first, Qt::Key_Return);
    });
    QCOMPARE(*seenInSecond, info);
    QCOMPARE(*firstAfter, question);
    QCOMPARE(answer, int(ModalOk));
}

void MsgBoxTest::okKeys_data() {
    QTest::addColumn<int>("key");
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
    QTest::newRow("space") << int(Qt::Key_Space);
}

void MsgBoxTest::okKeys() {
    QFETCH(int, key);
    const int answer = WhileShown(Question(QStringLiteral("确认关闭吗？")),
                                  [key](TMsgForm* form) { QTest::keyClick(form, Qt::Key(key)); });
    QCOMPARE(answer, int(ModalOk));

    auto closed = std::make_shared<bool>(false);
    WhileShown(Info(QStringLiteral("主机地址配置错误。")), [key, closed](TMsgForm* form) {
        QTest::keyClick(form, Qt::Key(key));
        *closed = !form->isVisible();
    });
    QVERIFY(*closed);
}

void MsgBoxTest::otherKeysDoNothing_data() {
    QTest::addColumn<int>("key");
    QTest::newRow("Escape") << int(Qt::Key_Escape);
    QTest::newRow("letter N") << int(Qt::Key_N);
    QTest::newRow("Tab") << int(Qt::Key_Tab);
}

void MsgBoxTest::otherKeysDoNothing() {
    QFETCH(int, key);
    auto stillOpen = std::make_shared<bool>(false);
    const int answer =
        WhileShown(Question(QStringLiteral("确认关闭吗？")), [key, stillOpen](TMsgForm* form) {
            QTest::keyClick(form, Qt::Key(key));
            QCoreApplication::processEvents();
            *stillOpen = form->isVisible();
            QTest::mouseClick(form->ImgBtnOk, Qt::LeftButton);
        });
    QVERIFY(*stillOpen);
    QCOMPARE(answer, int(ModalOk));
}

void MsgBoxTest::buttonClicks_data() {
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<int>("answer");
    QTest::newRow("OK") << false << int(ModalOk);
    QTest::newRow("Cancel") << true << int(ModalCancel);
}

void MsgBoxTest::buttonClicks() {
    QFETCH(bool, cancel);
    QFETCH(int, answer);
    // A close request from the window manager is not an answer either.
    auto stillOpen = std::make_shared<bool>(false);
    const int result =
        WhileShown(Question(QStringLiteral("确认关闭吗？")), [cancel, stillOpen](TMsgForm* form) {
            form->close();
            *stillOpen = form->isVisible();
            TSmartImage* button = cancel ? form->ImgBtnCancel : form->ImgBtnOk;
            // Hot when clicked; the box turns it back for the next message.
            button->SetCell(2);
            QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(30, 13));
        });
    QVERIFY(*stillOpen);
    QCOMPARE(result, answer);
    QCOMPARE(MsgForm()->ImgBtnOk->Cell(), 1);
    QCOMPARE(MsgForm()->ImgBtnCancel->Cell(), 1);
}

void MsgBoxTest::emptyTitleKeepsTheLast() {
    const QString text = QStringLiteral("主机地址配置错误。");
    QCOMPARE(LookAt(Info(text, QStringLiteral("标题甲"))).title, QStringLiteral("标题甲"));
    QCOMPARE(LookAt(Info(text, QString())).title, QStringLiteral("标题甲"));
    QCOMPARE(LookAt(Question(text, QString())).title, QStringLiteral("标题甲"));
    QCOMPARE(LookAt(Question(text, Tip)).title, Tip);
}

void MsgBoxTest::centredOnTheScreen() {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QPoint centred(screen.x() + (screen.width() - 318) / 2,
                         screen.y() + (screen.height() - 150) / 2);
    // Moved away between two messages, the box comes back to the centre.
    MsgForm()->move(5, 5);
    QCOMPARE(LookAt(Info(QStringLiteral("一"))).pos, centred);
    MsgForm()->move(17, 23);
    QCOMPARE(LookAt(Question(QStringLiteral("二"))).pos, centred);
}

void MsgBoxTest::hoverButtons() {
    struct Faces {
        QImage before, over, after;
        int cellOver = 0;
    };
    auto faces = std::make_shared<Faces>();
    const int answer =
        WhileShown(Question(QStringLiteral("确认关闭吗？")), [faces](TMsgForm* form) {
            if (!QTest::qWaitForWindowExposed(form))
                return;
            QCursor::setPos(form->mapToGlobal(QPoint(10, 60)));
            QCoreApplication::processEvents();
            TSmartImage* ok = form->ImgBtnOk;
            faces->before = Face(ok);
            QSignalSpy moves(ok, &TCustomPicClip::MouseMove);
            QCursor::setPos(ok->mapToGlobal(QPoint(30, 13)));
            if (!moves.wait())
                return;
            faces->cellOver = ok->Cell();
            faces->over = Face(ok);
            QCursor::setPos(form->mapToGlobal(QPoint(300, 60)));
            if (!moves.wait())
                return;
            faces->after = Face(ok);
            QTest::keyClick(form, Qt::Key_Space);
        });
    QCOMPARE(answer, int(ModalOk));
    const QImage normal = StripHalf(":/forms/msgbox/ok.png", 0);
    const QImage hot = StripHalf(":/forms/msgbox/ok.png", 1);
    QVERIFY(normal != hot);
    QCOMPARE(faces->cellOver, 2);
    QCOMPARE(faces->before, normal);
    QCOMPARE(faces->over, hot);
    QCOMPARE(faces->after, normal);
}

void MsgBoxTest::dragMovesTheBox_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("moves");
    QTest::newRow("background") << QStringLiteral("ImgBg") << int(Qt::LeftButton) << true;
    QTest::newRow("title") << QStringLiteral("MsgTitle") << int(Qt::LeftButton) << true;
    QTest::newRow("first line") << QStringLiteral("MsgBody") << int(Qt::LeftButton) << true;
    QTest::newRow("second line") << QStringLiteral("MsgBody2") << int(Qt::LeftButton) << true;
    QTest::newRow("third line") << QStringLiteral("MsgBody3") << int(Qt::LeftButton) << true;
    QTest::newRow("right button") << QStringLiteral("MsgBody") << int(Qt::RightButton) << true;
    QTest::newRow("OK button") << QStringLiteral("ImgBtnOk") << int(Qt::LeftButton) << false;
    QTest::newRow("Cancel button")
        << QStringLiteral("ImgBtnCancel") << int(Qt::LeftButton) << false;
}

void MsgBoxTest::dragMovesTheBox() {
    QFETCH(QString, control);
    QFETCH(int, button);
    QFETCH(bool, moves);
    struct Drag {
        QPoint before, after;
    };
    auto drag = std::make_shared<Drag>();
    const auto mouse = Qt::MouseButton(button);
    const int answer = WhileShown(
        Question(QStringLiteral("第一行\n第二行\n第三行")), [control, mouse, drag](TMsgForm* form) {
            auto* pressed = form->findChild<QWidget*>(control);
            if (!pressed)
                return;
            drag->before = form->pos();
            QTest::mousePress(pressed, mouse, {}, QPoint(4, 4));
            QTest::mouseMove(pressed, QPoint(4 + 37, 4 - 21));
            // Released away from the buttons, so a pressed button is not clicked.
            QTest::mouseRelease(pressed, mouse, {}, QPoint(4 + 37 + 200, 4 - 21));
            QCoreApplication::processEvents();
            drag->after = form->pos();
            QTest::keyClick(form, Qt::Key_Return);
        });
    QCOMPARE(answer, int(ModalOk));
    QCOMPARE(drag->after - drag->before, moves ? QPoint(37, -21) : QPoint(0, 0));
}

QTEST_MAIN(MsgBoxTest)
#include "msgbox_gui_test.moc"
