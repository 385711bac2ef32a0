#include "tskindata.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QFile>
#include <QLoggingCategory>
#include <QMenu>
#include <QMessageBox>
#include <QThread>

#include "buttonskin.h"
#include "skinframe.h"
#include "skinstyle.h"
#include "skintheme.h"

using namespace Qt::StringLiterals;

Q_LOGGING_CATEGORY(lcSkin, "lims.skin")

namespace {

const char skinnedControlProperty[] = "_lims_skinned";

// Qt's own dialog boxes: inside them the buttons, check boxes, radio buttons, combo boxes and
// edit boxes are skinned whatever the kind set says.
bool isStandardDialog(const QWidget *window)
{
    static const char *const classes[] = {"QMessageBox", "QInputDialog", "QFileDialog",
                                          "QColorDialog", "QFontDialog", "QProgressDialog",
                                          "QErrorMessage"};
    for (const char *name : classes) {
        if (window->inherits(name)) {
            return true;
        }
    }
    // The web engine's page dialogs (authentication and the like) live in its own namespace.
    return QByteArrayView(window->metaObject()->className()).startsWith("QtWebEngine");
}

// Gives a control the system look's colours for every role it has not set itself, so the skinned
// window's colours reach neither it nor its children.
void keepSystemLook(QWidget *control)
{
    const QPalette own = control->palette();
    QPalette palette = QApplication::palette(control);
    for (int group = 0; group < QPalette::NColorGroups; ++group) {
        for (int role = 0; role < QPalette::NColorRoles; ++role) {
            const auto g = QPalette::ColorGroup(group);
            const auto r = QPalette::ColorRole(role);
            palette.setBrush(g, r, own.isBrushSet(g, r) ? own.brush(g, r) : palette.brush(g, r));
        }
    }
    control->setPalette(palette);
}

int tagOf(const QWidget *widget)
{
    return widget->property("tag").toInt();
}

} // namespace

TSkinData::TSkinData(QObject *parent) : QObject(parent), m_mapping(standardClassMapping()) {}

TSkinData::~TSkinData()
{
    if (m_watching) {
        qApp->removeEventFilter(this);
    }
}

QString TSkinData::defaultPackagePath()
{
    return u":/skin/QuorLims.qlskin"_s;
}

SkinKinds::SkinControlKinds TSkinData::defaultControlKinds()
{
    using namespace SkinKinds;
    return xcMainMenu | xcPopupMenu | xcToolbar | xcControlbar | xcProgress | xcButton | xcBitBtn
        | xcSpeedButton | xcPanel | xcGroupBox | xcTab;
}

SkinReadStatus TSkinData::loadSkin(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcSkin) << "cannot open skin package" << path;
        return finishLoading(SkinReadResult{});
    }
    return loadSkinData(file.readAll());
}

SkinReadStatus TSkinData::loadSkinData(QByteArrayView bytes)
{
    return finishLoading(readSkinPackage(bytes));
}

SkinReadStatus TSkinData::finishLoading(SkinReadResult result)
{
    m_running = false;
    m_theme.reset();
    m_style.reset();
    if (result.status == SkinReadStatus::Ok) {
        if (auto theme = SkinTheme::fromPackage(result.package)) {
            m_theme = std::make_shared<const SkinTheme>(std::move(*theme));
        } else {
            result.status = SkinReadStatus::Damaged;
        }
    }
    switch (result.status) {
    case SkinReadStatus::Ok:
        break;
    case SkinReadStatus::OlderVersion: {
        QMessageBox box(QMessageBox::NoIcon, QGuiApplication::applicationDisplayName(),
                        u"This is Older Skin File\nPlease update to new version !"_s,
                        QMessageBox::Ok);
        box.exec();
        break;
    }
    case SkinReadStatus::Empty:
        break;
    case SkinReadStatus::Damaged:
        // Not in the original format's contract; a broken package must not take the program
        // down, so it runs in the system look like an empty one.
        qCWarning(lcSkin) << "skin package is damaged; using the system look";
        break;
    }
    if (!m_watching && QThread::currentThread() == qApp->thread()) {
        qApp->installEventFilter(this);
        m_watching = true;
    }
    if (m_theme) {
        m_style = std::make_unique<SkinStyle>(m_theme);
        m_running = m_active;
        // A native file or colour dialog cannot be drawn; Qt's own can.
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, true);
    } else {
        m_active = false;
    }
    return result.status;
}

void TSkinData::setActive(bool active)
{
    m_active = active;
    m_running = active && m_theme != nullptr;
}

bool TSkinData::isSkinned(const QWidget *window)
{
    return window->findChild<SkinFrame *>(QString(), Qt::FindDirectChildrenOnly) != nullptr;
}

bool TSkinData::isExempt(const QWidget *widget, bool isWindow) const
{
    const int tag = tagOf(widget);
    return isWindow ? tag == m_exemptTag : tag % 100 == m_exemptTag % 100;
}

bool TSkinData::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Polish || !m_running || !watched->isWidgetType()) {
        return false;
    }
    auto *widget = static_cast<QWidget *>(watched);
    if (widget->isWindow()) {
        if (auto *menu = qobject_cast<QMenu *>(widget)) {
            skinMenu(menu);
        } else {
            skinWindow(widget);
        }
    } else if (QWidget *window = widget->window(); isSkinned(window)) {
        skinControl(widget, isStandardDialog(window));
    }
    return false;
}

void TSkinData::skinWindow(QWidget *window)
{
    const Qt::WindowType type = window->windowType();
    if ((type != Qt::Window && type != Qt::Dialog) || isSkinned(window)
        || isExempt(window, true) || window->windowFlags().testFlag(Qt::FramelessWindowHint)
        || !m_kinds.testFlag(SkinKinds::xcMainMenu)) {
        return;
    }
    // A window that can never have an area has nothing to draw a frame around.
    if (window->maximumSize().isEmpty()
        || (window->testAttribute(Qt::WA_Resized) && window->size().isEmpty())) {
        return;
    }
    new SkinFrame(window, m_theme);
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, m_theme->window);
    window->setPalette(palette);

    // Controls polished before their window (a layout asks for size hints early) get their
    // skin now; the rest as they are polished.
    const bool standard = isStandardDialog(window);
    const QList<QWidget *> children = window->findChildren<QWidget *>();
    for (QWidget *child : children) {
        if (child->isWindow()) {
            continue;
        }
        skinControl(child, standard);
    }
}

void TSkinData::skinControl(QWidget *control, bool insideStandardDialog)
{
    if (control->property(skinnedControlProperty).toBool()) {
        return;
    }
    control->setProperty(skinnedControlProperty, true);
    // The browser view and everything in it keep the system look, whatever class it has.
    if (control->inherits("QWebEngineView")) {
        keepSystemLook(control);
        return;
    }
    for (const QWidget *p = control->parentWidget(); p && !p->isWindow(); p = p->parentWidget()) {
        if (p->inherits("QWebEngineView")) {
            return;
        }
    }
    if (isExempt(control, false)) {
        keepSystemLook(control);
        return;
    }
    // A frame's document area loses its automatic scroll bars along with the frame.
    if (auto *area = qobject_cast<QAbstractScrollArea *>(control);
        area && area->inherits("QMdiArea") && m_kinds.testFlag(SkinKinds::xcMainMenu)) {
        area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    const SkinDrawKind kind = drawKindForClass(m_mapping,
                                               QString::fromLatin1(control->metaObject()->className()));
    if (kind == SkinDrawKind::None) {
        return;
    }
    bool on = m_kinds.testAnyFlags(gateForDrawKind(kind));
    if (insideStandardDialog) {
        switch (kind) {
        case SkinDrawKind::Button:
        case SkinDrawKind::CheckBox:
        case SkinDrawKind::RadioButton:
        case SkinDrawKind::Combo:
        case SkinDrawKind::Edit:
            on = true;
            break;
        default:
            break;
        }
    }
    if (!on) {
        if (kind == SkinDrawKind::StatusBar) {
            keepSystemLook(control);
        }
        return;
    }
    switch (kind) {
    case SkinDrawKind::BitBtn:
        if (auto *button = qobject_cast<QAbstractButton *>(control)) {
            new BitBtnSkin(button, m_theme);
        }
        break;
    case SkinDrawKind::MainMenu:
    case SkinDrawKind::StatusBar:
        break;
    default:
        control->setStyle(m_style.get());
        break;
    }
}

void TSkinData::skinMenu(QMenu *menu)
{
    if (!m_kinds.testFlag(SkinKinds::xcPopupMenu) || isExempt(menu, true)
        || menu->property(skinnedControlProperty).toBool()) {
        return;
    }
    menu->setProperty(skinnedControlProperty, true);
    menu->setStyle(m_style.get());
}
