#include "skinkinds.h"

using namespace Qt::StringLiterals;

QStringList standardClassMapping()
{
    return {
        u"TRzBitbtn=bitbtn"_s,    u"QPushButton=button"_s,     u"QCommandLinkButton=button"_s,
        u"QToolButton=speedbutton"_s, u"QCheckBox=checkbox"_s,
        u"QRadioButton=radiobutton"_s, u"QComboBox=combobox"_s,   u"QFontComboBox=combobox"_s,
        u"QLineEdit=edit"_s,      u"QSpinBox=edit"_s,          u"QDoubleSpinBox=edit"_s,
        u"QTextEdit=memo"_s,      u"QPlainTextEdit=memo"_s,    u"QStatusBar=statusbar"_s,
        u"TStatusBar=statusbar"_s,
        u"QScrollBar=scrollbar"_s, u"QProgressBar=progress"_s, u"QGroupBox=groupbox"_s,
        u"QFrame=panel"_s,        u"QTabBar=tab"_s,            u"QTabWidget=tab"_s,
        u"QToolBar=toolbar"_s,    u"QMenuBar=mainmenu"_s,      u"QMenu=popupmenu"_s,
    };
}

namespace {

SkinDrawKind kindFromName(QStringView name)
{
    struct Entry
    {
        QStringView name;
        SkinDrawKind kind;
    };
    static constexpr Entry entries[] = {
        {u"bitbtn", SkinDrawKind::BitBtn},       {u"button", SkinDrawKind::Button},
        {u"speedbutton", SkinDrawKind::SpeedButton},  {u"checkbox", SkinDrawKind::CheckBox},
        {u"radiobutton", SkinDrawKind::RadioButton}, {u"combobox", SkinDrawKind::Combo},
        {u"edit", SkinDrawKind::Edit},           {u"memo", SkinDrawKind::Edit},
        {u"statusbar", SkinDrawKind::StatusBar}, {u"scrollbar", SkinDrawKind::ScrollBar},
        {u"progress", SkinDrawKind::Progress},   {u"groupbox", SkinDrawKind::GroupBox},
        {u"panel", SkinDrawKind::Panel},         {u"tab", SkinDrawKind::Tab},
        {u"toolbar", SkinDrawKind::Toolbar},     {u"popupmenu", SkinDrawKind::PopupMenu},
        {u"mainmenu", SkinDrawKind::MainMenu},
    };
    for (const Entry &entry : entries) {
        if (name.compare(entry.name, Qt::CaseInsensitive) == 0) {
            return entry.kind;
        }
    }
    return SkinDrawKind::None;
}

} // namespace

SkinDrawKind drawKindForClass(const QStringList &mapping, QStringView className)
{
    for (const QString &line : mapping) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0) {
            continue;
        }
        if (QStringView(line).left(eq).trimmed().compare(className, Qt::CaseInsensitive) == 0) {
            return kindFromName(QStringView(line).mid(eq + 1).trimmed());
        }
    }
    return SkinDrawKind::None;
}

SkinKinds::SkinControlKind gateForDrawKind(SkinDrawKind kind)
{
    using namespace SkinKinds;
    switch (kind) {
    case SkinDrawKind::BitBtn:
    case SkinDrawKind::Button:
        return xcButton;
    case SkinDrawKind::SpeedButton:
        return xcSpeedButton;
    case SkinDrawKind::CheckBox:
        return xcCheckBox;
    case SkinDrawKind::RadioButton:
        return xcRadioButton;
    case SkinDrawKind::Combo:
        return xcCombo;
    case SkinDrawKind::Edit:
        return xcEdit;
    case SkinDrawKind::StatusBar:
        return xcStatusBar;
    case SkinDrawKind::ScrollBar:
        return xcScrollbar;
    case SkinDrawKind::Progress:
        return xcProgress;
    case SkinDrawKind::GroupBox:
        return xcGroupBox;
    case SkinDrawKind::Panel:
        return xcPanel;
    case SkinDrawKind::Tab:
        return xcTab;
    case SkinDrawKind::Toolbar:
        return xcToolbar;
    case SkinDrawKind::PopupMenu:
        return xcPopupMenu;
    case SkinDrawKind::MainMenu:
        return xcMainMenu;
    case SkinDrawKind::None:
        break;
    }
    return SkinControlKind(0);
}
