#pragma once

#include <QString>

// The application title: task-bar text, main window and dialog caption, error box caption.
inline QString applicationTitle()
{
    return QStringLiteral("实验室信息管理系统（LIMS）");
}
