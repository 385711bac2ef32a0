#pragma once

#include <QFlags>
#include <QObject>
#include <QStringList>

// The kinds of control the skin can draw; which of them it does draw is TSkinData's set.
namespace SkinKinds {
Q_NAMESPACE

enum SkinControlKind : quint32 {
    xcMainMenu = 1u << 0,
    xcPopupMenu = 1u << 1,
    xcToolbar = 1u << 2,
    xcControlbar = 1u << 3,
    xcProgress = 1u << 4,
    xcButton = 1u << 5,
    xcBitBtn = 1u << 6,
    xcSpeedButton = 1u << 7,
    xcPanel = 1u << 8,
    xcGroupBox = 1u << 9,
    xcTab = 1u << 10,
    xcMenuItem = 1u << 11,
    xcCombo = 1u << 12,
    xcCheckBox = 1u << 13,
    xcRadioButton = 1u << 14,
    xcScrollbar = 1u << 15,
    xcEdit = 1u << 16,
    xcStatusBar = 1u << 17,
    xcSystemMenu = 1u << 18,
    xcFastReport = 1u << 19,
};
Q_DECLARE_FLAGS(SkinControlKinds, SkinControlKind)
Q_FLAG_NS(SkinControlKinds)

enum SkinFormType { sfMainform };
Q_ENUM_NS(SkinFormType)

} // namespace SkinKinds
Q_DECLARE_OPERATORS_FOR_FLAGS(SkinKinds::SkinControlKinds)

// How the skin draws a control, as named on the right-hand side of a class-mapping line.
enum class SkinDrawKind {
    None,
    BitBtn,      // bitmap button: skin image by state, then the button's own glyph and caption
    Button,      // push button
    SpeedButton, // tool button, drawn like a push button
    CheckBox,
    RadioButton,
    Combo,
    Edit,
    StatusBar,
    ScrollBar,
    Progress,
    GroupBox,
    Panel,
    Tab,
    Toolbar,
    PopupMenu,
    MainMenu,
};

// The class-mapping list the engine ships with: one "ClassName=kind" line per class of the
// toolkits this program uses.
QStringList standardClassMapping();

// The first line whose class name equals className (whole, case-insensitive) decides; the
// name is the control's own class only, base classes are not looked at.
SkinDrawKind drawKindForClass(const QStringList &mapping, QStringView className);

// The control-kind setting that switches a draw kind on. A bitmap button is drawn when the
// push-button kind is on: the bitmap-button setting has no say over it.
SkinKinds::SkinControlKind gateForDrawKind(SkinDrawKind kind);
