#pragma once

#include <QByteArrayView>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <memory>

#include "skinkinds.h"
#include "skinpackage.h"

class QWidget;
class QMenu;
class SkinTheme;
class SkinStyle;

// The skin engine: draws every top-level window of the user-interface thread, its pop-up menus
// and the kinds of control it is set to from one skin package. One instance per program, on
// the main window; it watches windows application-wide once its package is loaded.
class TSkinData final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TSkinData)
    Q_PROPERTY(bool Active READ active WRITE setActive)

public:
    explicit TSkinData(QObject *parent = nullptr);
    ~TSkinData() override;

    // The package built into the program.
    static QString defaultPackagePath();

    // Finishes loading: reads the package, starts watching the thread's windows and, when the
    // stored Active is on and the package was read, switches the engine on. An older package
    // is reported in a plain message box; an empty or damaged one leaves the system look.
    SkinReadStatus loadSkin(const QString &path = defaultPackagePath());
    SkinReadStatus loadSkinData(QByteArrayView bytes);

    // Active is the stored value; switching it on starts the engine only when a package was
    // read. Switching it off stops skinning windows shown afterwards.
    bool active() const { return m_active; }
    void setActive(bool active);
    bool isSkinning() const { return m_running; }

    SkinKinds::SkinFormType skinFormType() const { return SkinKinds::sfMainform; }
    SkinKinds::SkinControlKinds controlKinds() const { return m_kinds; }
    void setControlKinds(SkinKinds::SkinControlKinds kinds) { m_kinds = kinds; }
    int exemptTag() const { return m_exemptTag; }
    bool menuUpdate() const { return m_menuUpdate; }
    void setMenuUpdate(bool on) { m_menuUpdate = on; }
    bool menuMerge() const { return m_menuMerge; }
    void setMenuMerge(bool on) { m_menuMerge = on; }
    QStringList classMapping() const { return m_mapping; }
    void setClassMapping(const QStringList &mapping) { m_mapping = mapping; }

    const SkinTheme *theme() const { return m_theme.get(); }
    // True once the engine has given the window its frame.
    static bool isSkinned(const QWidget *window);

    static SkinKinds::SkinControlKinds defaultControlKinds();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    SkinReadStatus finishLoading(SkinReadResult result);
    bool isExempt(const QWidget *widget, bool isWindow) const;
    void skinWindow(QWidget *window);
    void skinControl(QWidget *control, bool insideStandardDialog);
    void skinMenu(QMenu *menu);

    std::shared_ptr<const SkinTheme> m_theme;
    std::unique_ptr<SkinStyle> m_style;
    bool m_active = true;
    bool m_running = false;
    bool m_watching = false;
    SkinKinds::SkinControlKinds m_kinds = defaultControlKinds();
    int m_exemptTag = 99;
    bool m_menuUpdate = false;
    bool m_menuMerge = false;
    QStringList m_mapping;
};
