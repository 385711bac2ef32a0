#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QtTest>

#include "buttonskin.h"
#include "captionbar.h"
#include "skinframe.h"
#include "skinstyle.h"
#include "skintestsupport.h"
#include "skintheme.h"

using namespace Qt::StringLiterals;

// Stands in for the browser view: the skin knows it only by this class name.
class QWebEngineView : public QWidget
{
    Q_OBJECT

public:
    using QWidget::QWidget;
};

namespace {

QByteArray builtInPackage()
{
    QFile file(TSkinData::defaultPackagePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool hasSkinStyle(const QWidget *w)
{
    return qobject_cast<const SkinStyle *>(w->style()) != nullptr;
}

bool hasBitBtnSkin(const QWidget *w)
{
    return w->findChild<BitBtnSkin *>(QString(), Qt::FindDirectChildrenOnly) != nullptr;
}

// A window whose close query says no and counts how often it was asked.
class RefusingWindow : public QMainWindow
{
public:
    int closeQueries = 0;

protected:
    void closeEvent(QCloseEvent *event) override
    {
        ++closeQueries;
        event->ignore();
    }
};

} // namespace

class tst_SkinEngine : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void loading_data();
    void loading();
    void mainWindowFrameAndSystemLookParts();
    void dialogSkinnedOnEveryShowing();
    void exemptions_data();
    void exemptions();
    void standardDialogsSkinTheirControls();
    void popupMenus();
    void zeroSizeWindowSkipped();
    void closeRoutesRunTheCloseQuery();
    void iconClickOpensWindowMenuInSystemLook();
    void captionDragMovesWithoutSystemMove();
    void windowOutlivesEngine();
    void bitBtnPaintsSkinImageByState_data();
    void bitBtnPaintsSkinImageByState();
    void bitBtnMouse_data();
    void bitBtnMouse();
    void bitBtnSpaceIsTheButtonsOwn();

private:
    std::unique_ptr<TSkinData> m_skin;
};

void tst_SkinEngine::init()
{
    m_skin = std::make_unique<TSkinData>();
    QCOMPARE(m_skin->loadSkin(), SkinReadStatus::Ok);
    QVERIFY(m_skin->isSkinning());
}

void tst_SkinEngine::cleanup()
{
    m_skin.reset();
    const QWidgetList left = QApplication::topLevelWidgets();
    for (QWidget *w : left) {
        if (w->isVisible()) {
            qWarning() << "leaked window" << w;
        }
    }
    QVERIFY(std::none_of(left.begin(), left.end(), [](QWidget *w) { return w->isVisible(); }));
}

void tst_SkinEngine::loading_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<SkinReadStatus>("status");
    QTest::addColumn<bool>("expectBox");

    const QByteArray good = builtInPackage();
    QTest::newRow("current") << good << SkinReadStatus::Ok << false;
    QTest::newRow("older") << writeSkinPackage({}, 1) << SkinReadStatus::OlderVersion << true;
    QTest::newRow("empty") << QByteArray() << SkinReadStatus::Empty << false;
    QTest::newRow("truncated") << good.left(good.size() / 2) << SkinReadStatus::Damaged << false;
    // Intact and current, but without the images a frame is drawn from.
    QTest::newRow("incomplete") << writeSkinPackage({}) << SkinReadStatus::Damaged << false;
}

void tst_SkinEngine::loading()
{
    QFETCH(QByteArray, bytes);
    QFETCH(SkinReadStatus, status);
    QFETCH(bool, expectBox);

    m_skin.reset(); // only the engine made here watches

    QString title;
    QString text;
    int buttons = -1;
    bool boxSkinned = false;
    QTimer closer;
    closer.setInterval(10);
    connect(&closer, &QTimer::timeout, this, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            title = box->windowTitle();
            text = box->text();
            buttons = int(box->buttons().size());
            boxSkinned = TSkinData::isSkinned(box);
            box->button(QMessageBox::Ok)->click();
        }
    });
    closer.start();
    QGuiApplication::setApplicationDisplayName(u"实验室信息管理系统（LIMS）"_s);

    TSkinData skin;
    QCOMPARE(skin.loadSkinData(bytes), status);
    QCOMPARE(!text.isEmpty(), expectBox);
    if (expectBox) {
        QCOMPARE(title, u"实验室信息管理系统（LIMS）"_s);
        QCOMPARE(text, u"This is Older Skin File\nPlease update to new version !"_s);
        QCOMPARE(buttons, 1);
        QVERIFY(!boxSkinned);
    }
    const bool good = status == SkinReadStatus::Ok;
    QCOMPARE(skin.isSkinning(), good);
    QCOMPARE(skin.active(), good);
    // Switching on once more changes nothing that shows: the engine stays as loading left it.
    skin.setActive(true);
    QVERIFY(skin.active());
    QCOMPARE(skin.isSkinning(), good);

    QWidget window;
    window.resize(300, 200);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(TSkinData::isSkinned(&window), good);
}

void tst_SkinEngine::mainWindowFrameAndSystemLookParts()
{
    QMainWindow window;
    auto *status = new TStatusBar(&window);
    QPalette own = status->palette();
    own.setColor(QPalette::WindowText, Qt::darkRed); // set by its layout: stays
    status->setPalette(own);
    window.setStatusBar(status);
    auto *view = new QWebEngineView(&window);
    auto *inner = new QWidget(view);
    window.setCentralWidget(view);
    window.resize(1024, 768);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    const SkinTheme &theme = *m_skin->theme();
    QVERIFY(TSkinData::isSkinned(&window));
    QVERIFY(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(window.size(), QSize(1024, 768)); // the frame is drawn inside, nothing is resized
    const int b = theme.borderWidth;
    QCOMPARE(window.contentsMargins(), QMargins(b, b + theme.captionHeight, b, b));
    QCOMPARE(view->mapTo(&window, QPoint(0, 0)), QPoint(b, b + theme.captionHeight));

    auto *caption = window.findChild<CaptionBar *>();
    QVERIFY(caption);
    QVERIFY(caption->button(CaptionButtonKind::Minimize)->isVisible());
    QVERIFY(caption->button(CaptionButtonKind::Maximize)->isVisible());
    QVERIFY(caption->button(CaptionButtonKind::Close)->isVisible());
    QVERIFY(caption->iconRect().isValid());

    QCOMPARE(window.palette().color(QPalette::Window), theme.window);
    const QColor system = QApplication::palette(status).color(QPalette::Window);
    QVERIFY(system != theme.window);
    QCOMPARE(status->palette().color(QPalette::Window), system);
    QCOMPARE(status->palette().color(QPalette::WindowText), QColor(Qt::darkRed));
    QVERIFY(!hasSkinStyle(status));
    QCOMPARE(view->palette().color(QPalette::Window),
             QApplication::palette(view).color(QPalette::Window));
    QCOMPARE(inner->palette().color(QPalette::Window),
             QApplication::palette(view).color(QPalette::Window));
    QVERIFY(!hasSkinStyle(view) && !hasSkinStyle(inner));
}

void tst_SkinEngine::dialogSkinnedOnEveryShowing()
{
    for (int showing = 0; showing < 2; ++showing) {
        StandInDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(TSkinData::isSkinned(&dialog));
        QCOMPARE(dialog.contentsRect().size(), QSize(342, 173));
        auto *caption = dialog.findChild<CaptionBar *>();
        QVERIFY(caption);
        for (const auto kind : {CaptionButtonKind::Minimize, CaptionButtonKind::Maximize,
                                CaptionButtonKind::Close}) {
            QVERIFY(caption->button(kind)->isHidden());
        }
        QVERIFY(!caption->iconRect().isValid());
        // A fixed-size window offers no edges to drag.
        const QPoint edge(0, dialog.height() / 2);
        QCOMPARE(dialog.findChild<SkinFrame *>()->areaAt(edge), Platform::FrameArea::Client);

        QVERIFY(hasBitBtnSkin(dialog.ok));
        QVERIFY(hasBitBtnSkin(dialog.cancel));
        // Labels keep the system look and show the skin's window colour through.
        QVERIFY(!hasSkinStyle(dialog.tip));
        QVERIFY(!dialog.tip->autoFillBackground());
        QCOMPARE(dialog.palette().color(QPalette::Window), m_skin->theme()->window);
    }
}

void tst_SkinEngine::exemptions_data()
{
    QTest::addColumn<int>("windowTag");
    QTest::addColumn<int>("buttonTag");
    QTest::addColumn<bool>("windowSkinned");
    QTest::addColumn<bool>("buttonSkinned");

    QTest::newRow("no tags") << 0 << 0 << true << true;
    QTest::newRow("window 99") << 99 << 0 << false << false;
    QTest::newRow("window 199: only exactly 99 exempts a window") << 199 << 0 << true << true;
    QTest::newRow("button 99") << 0 << 99 << true << false;
    QTest::newRow("button 199") << 0 << 199 << true << false;
    QTest::newRow("button -1: remainder is -1") << 0 << -1 << true << true;
    QTest::newRow("button 98") << 0 << 98 << true << true;
}

void tst_SkinEngine::exemptions()
{
    QFETCH(int, windowTag);
    QFETCH(int, buttonTag);
    QFETCH(bool, windowSkinned);
    QFETCH(bool, buttonSkinned);

    StandInDialog dialog;
    dialog.setProperty("tag", windowTag);
    dialog.ok->setProperty("tag", buttonTag);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(TSkinData::isSkinned(&dialog), windowSkinned);
    QCOMPARE(hasBitBtnSkin(dialog.ok), buttonSkinned);
    QCOMPARE(hasBitBtnSkin(dialog.cancel), windowSkinned);
}

void tst_SkinEngine::standardDialogsSkinTheirControls()
{
    QMessageBox box(QMessageBox::Question, u"t"_s, u"?"_s, QMessageBox::Yes | QMessageBox::No);
    auto *check = new QCheckBox(u"again"_s);
    box.setCheckBox(check);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QVERIFY(TSkinData::isSkinned(&box));
    QVERIFY(hasSkinStyle(box.button(QMessageBox::Yes)));
    QVERIFY(hasSkinStyle(check));
    box.hide();

    QInputDialog input;
    input.setTextValue(u"x"_s);
    input.show();
    QVERIFY(QTest::qWaitForWindowExposed(&input));
    QVERIFY(TSkinData::isSkinned(&input));
    QVERIFY(hasSkinStyle(input.findChild<QLineEdit *>()));
    input.hide();

    // Outside standard dialogs only the kinds that are on: push buttons yes, check boxes no.
    QWidget window;
    auto *push = new QPushButton(u"p"_s, &window);
    auto *plainCheck = new QCheckBox(u"c"_s, &window);
    plainCheck->move(0, 40);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(hasSkinStyle(push));
    QVERIFY(!hasSkinStyle(plainCheck));
}

void tst_SkinEngine::popupMenus()
{
    QWidget owner;
    QMenu menu(&owner);
    menu.addAction(u"Back"_s);
    menu.popup(QPoint(10, 10));
    QVERIFY(QTest::qWaitForWindowExposed(&menu));
    QVERIFY(hasSkinStyle(&menu));
    menu.hide();

    QMenu plain(&owner);
    plain.setProperty("tag", 99);
    plain.addAction(u"Close"_s);
    plain.popup(QPoint(10, 10));
    QVERIFY(QTest::qWaitForWindowExposed(&plain));
    QVERIFY(!hasSkinStyle(&plain));
    plain.hide();
}

void tst_SkinEngine::zeroSizeWindowSkipped()
{
    QWidget empty;
    empty.setFixedSize(0, 0);
    empty.show();
    QVERIFY(!TSkinData::isSkinned(&empty));
    empty.hide();
}

void tst_SkinEngine::closeRoutesRunTheCloseQuery()
{
    RefusingWindow window;
    window.resize(600, 400);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *caption = window.findChild<CaptionBar *>();
    QVERIFY(caption);

    QTest::mouseClick(caption->button(CaptionButtonKind::Close), Qt::LeftButton);
    QCOMPARE(window.closeQueries, 1);
    QVERIFY(window.isVisible());

    const QPoint icon = caption->iconRect().center();
    QTest::mouseDClick(caption, Qt::LeftButton, {}, icon);
    QCOMPARE(window.closeQueries, 2);
    QVERIFY(window.isVisible());
    // The double click closed; the window menu a single click would open never appears.
    QVERIFY(!window.findChild<QMenu *>());
}

void tst_SkinEngine::iconClickOpensWindowMenuInSystemLook()
{
    QMainWindow window;
    window.resize(600, 400);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *caption = window.findChild<CaptionBar *>();
    QVERIFY(caption);
    QTest::mouseClick(caption, Qt::LeftButton, {}, caption->iconRect().center());
    QMenu *menu = nullptr;
    QTRY_VERIFY((menu = caption->findChild<QMenu *>()) && menu->isVisible());
    QVERIFY(!hasSkinStyle(menu));
    QStringList texts;
    for (const QAction *action : menu->actions()) {
        texts << action->text();
    }
    QCOMPARE(texts, (QStringList{u"Restore"_s, u"Minimize"_s, u"Maximize"_s, QString(), u"Close"_s}));
    menu->hide();
}

void tst_SkinEngine::windowOutlivesEngine()
{
    StandInDialog dialog;
    QMenu menu(&dialog);
    menu.addAction(u"Reload"_s);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    menu.popup(dialog.mapToGlobal(QPoint(20, 60)));
    QVERIFY(QTest::qWaitForWindowExposed(&menu));
    const QImage before = dialog.grab().toImage();
    m_skin.reset();
    // Frame, caption and buttons still draw from the skin they were made with.
    QCOMPARE(dialog.grab().toImage(), before);
    menu.grab();
    QVERIFY(!hasSkinStyle(&menu)); // the menu style went with the engine: system look again
    menu.hide();
}

void tst_SkinEngine::captionDragMovesWithoutSystemMove()
{
    // The offscreen platform has no system move, like a window manager without one.
    QMainWindow window;
    window.setGeometry(100, 100, 600, 400);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *caption = window.findChild<CaptionBar *>();
    QVERIFY(caption);
    const QPoint start = window.pos();
    const QPoint grab(200, caption->height() / 2);
    QTest::mousePress(caption, Qt::LeftButton, {}, grab);
    QTest::mouseMove(caption, grab + QPoint(1, 0));
    QTest::mouseMove(caption, grab + QPoint(41, 30));
    QTest::mouseRelease(caption, Qt::LeftButton, {}, grab + QPoint(41, 30));
    QTRY_COMPARE(window.pos(), start + QPoint(40, 30));
    QVERIFY(!window.isMaximized());
}

void tst_SkinEngine::bitBtnPaintsSkinImageByState_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<ButtonImage>("image");
    QTest::newRow("normal") << u"normal"_s << ButtonImage::Normal;
    QTest::newRow("default") << u"default"_s << ButtonImage::Default;
    QTest::newRow("hot") << u"hot"_s << ButtonImage::Hot;
    QTest::newRow("pressed") << u"pressed"_s << ButtonImage::Pressed;
    QTest::newRow("disabled") << u"disabled"_s << ButtonImage::Disabled;
}

void tst_SkinEngine::bitBtnPaintsSkinImageByState()
{
    QFETCH(QString, state);
    QFETCH(ButtonImage, image);

    QWidget window;
    auto *button = new TRzBitBtn(u"确定"_s, &window);
    button->setGeometry(20, 40, 75, 25);
    button->setFocusPolicy(Qt::NoFocus);
    QPalette own = button->palette();
    own.setColor(QPalette::Button, Qt::magenta); // its own face colour must never show
    button->setPalette(own);
    window.resize(200, 120);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    if (state == u"default") {
        button->setDefault(true);
    } else if (state == u"hot") {
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), button->mapToGlobal(QPointF(5, 5)));
        QCoreApplication::sendEvent(button, &enter);
    } else if (state == u"pressed") {
        button->setDown(true);
    } else if (state == u"disabled") {
        button->setEnabled(false);
    }

    QPixmap expected(button->size());
    expected.fill(m_skin->theme()->window);
    {
        QPainter painter(&expected);
        drawNineSlice(painter, expected.rect(), m_skin->theme()->button(image),
                      m_skin->theme()->buttonSlice);
    }
    const QImage painted = button->grab().toImage();
    // The face right of the caption, and the frame: nothing of the button's own there.
    for (const QPoint p : {QPoint(button->width() - 6, button->height() / 2), QPoint(0, button->height() / 2),
                           QPoint(button->width() / 2, 1)}) {
        QCOMPARE(painted.pixelColor(p), expected.toImage().pixelColor(p));
    }
}

void tst_SkinEngine::bitBtnMouse_data()
{
    QTest::addColumn<QList<int>>("steps"); // 0 press, 1 move off, 2 move back, 3 release
    QTest::addColumn<int>("clicks");

    QTest::newRow("press, release") << QList<int>{0, 3} << 1;
    QTest::newRow("press, leave, release off") << QList<int>{0, 1, 3} << 0;
    QTest::newRow("press, leave, come back, release") << QList<int>{0, 1, 2, 3} << 0;
    QTest::newRow("press, move inside, release") << QList<int>{0, 2, 3} << 1;
}

void tst_SkinEngine::bitBtnMouse()
{
    QFETCH(QList<int>, steps);
    QFETCH(int, clicks);

    StandInDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    TRzBitBtn *button = dialog.ok;
    auto *skin = button->findChild<BitBtnSkin *>();
    QVERIFY(skin);
    QSignalSpy clicked(button, &QAbstractButton::clicked);
    const QPoint inside = button->rect().center();
    const QPoint off(button->width() + 30, inside.y());
    bool left = false;
    for (const int step : std::as_const(steps)) {
        switch (step) {
        case 0:
            QTest::mousePress(button, Qt::LeftButton, {}, inside);
            QVERIFY(button->hasFocus());
            QVERIFY(skin->isPressed() && button->isDown());
            break;
        case 1:
            QTest::mouseMove(button, off);
            QVERIFY(!skin->isPressed() && !skin->isHot() && !button->isDown());
            left = true;
            break;
        case 2:
            QTest::mouseMove(button, inside + QPoint(1, 0));
            QCOMPARE(skin->isPressed(), !left);
            break;
        case 3:
            QTest::mouseRelease(button, Qt::LeftButton, {}, left && steps.last() == 3
                                        && steps.at(steps.size() - 2) == 1 ? off : inside);
            break;
        }
    }
    QCOMPARE(clicked.size(), clicks);
    QVERIFY(!button->isDown());
}

void tst_SkinEngine::bitBtnSpaceIsTheButtonsOwn()
{
    StandInDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    dialog.activateWindow();
    dialog.ok->setFocus();
    QTRY_VERIFY(dialog.ok->hasFocus());
    QSignalSpy clicked(dialog.ok, &QAbstractButton::clicked);
    QTest::keyPress(dialog.ok, Qt::Key_Space);
    QVERIFY(dialog.ok->isDown()); // shows pressed
    QCOMPARE(clicked.size(), 0);
    QTest::keyRelease(dialog.ok, Qt::Key_Space);
    QCOMPARE(clicked.size(), 1);
}

QTEST_MAIN(tst_SkinEngine)
#include "tst_skinengine.moc"
