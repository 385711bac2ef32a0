#include "platform.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QList>
#include <QPointer>
#include <QWindow>

#include <windows.h>
#include <windowsx.h>

namespace Platform {

// Qt does not read STARTUPINFO; a shortcut's "Run: Minimized" arrives only here.
StartupShowState startupShowState()
{
    STARTUPINFOW info{};
    info.cb = sizeof(info);
    GetStartupInfoW(&info);
    // A shortcut set to "Minimized" asks for SW_SHOWMINNOACTIVE; any other request (maximised
    // included) leaves the window to start maximised.
    if ((info.dwFlags & STARTF_USESHOWWINDOW) != 0 && info.wShowWindow == SW_SHOWMINNOACTIVE) {
        return StartupShowState::Minimized;
    }
    return StartupShowState::Default;
}

// Windows always offers some OpenGL; whether it is the software "GDI Generic" one is asked of the
// renderer itself once the application runs.
bool hasGpuDevice()
{
    return true;
}

} // namespace Platform

namespace {

// Windows keeps snapping, the shadow, the minimise and maximise animations and the task bar's
// window menu only for windows with a caption and a sizing frame. A skinned window is frameless
// to Qt (so its geometry has no margins); here it gets those styles back, its whole area stays
// client area (WM_NCCALCSIZE), and the skin answers what lies under the mouse (WM_NCHITTEST).
class CustomFrameFilter final : public QAbstractNativeEventFilter
{
public:
    struct Entry
    {
        QPointer<QWindow> window;
        HWND hwnd = nullptr;
        Platform::FrameAreaAt areaAt;
    };

    static CustomFrameFilter &instance()
    {
        static CustomFrameFilter *filter = [] {
            auto *f = new CustomFrameFilter;
            QCoreApplication::instance()->installNativeEventFilter(f);
            return f;
        }();
        return *filter;
    }

    QList<Entry> entries;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override
    {
        if (eventType != "windows_generic_MSG") {
            return false;
        }
        const MSG *msg = static_cast<const MSG *>(message);
        const Entry *entry = find(msg->hwnd);
        if (entry == nullptr) {
            return false;
        }
        switch (msg->message) {
        case WM_NCCALCSIZE:
            if (msg->wParam == FALSE) {
                return false;
            }
            if (IsZoomed(msg->hwnd)) {
                // A maximised window overhangs the monitor by its sizing frame on every side.
                auto *params = reinterpret_cast<NCCALCSIZE_PARAMS *>(msg->lParam);
                const int padding = GetSystemMetrics(SM_CXPADDEDBORDER);
                const int frameX = GetSystemMetrics(SM_CXSIZEFRAME) + padding;
                const int frameY = GetSystemMetrics(SM_CYSIZEFRAME) + padding;
                params->rgrc[0].left += frameX;
                params->rgrc[0].right -= frameX;
                params->rgrc[0].top += frameY;
                params->rgrc[0].bottom -= frameY;
            }
            *result = 0;
            return true;
        case WM_NCHITTEST: {
            if (!entry->window || !entry->areaAt) {
                return false;
            }
            RECT bounds{};
            GetWindowRect(msg->hwnd, &bounds);
            const qreal ratio = entry->window->devicePixelRatio();
            const QPoint local(qRound((GET_X_LPARAM(msg->lParam) - bounds.left) / ratio),
                               qRound((GET_Y_LPARAM(msg->lParam) - bounds.top) / ratio));
            *result = hitTestCode(entry->areaAt(local));
            return true;
        }
        case WM_NCACTIVATE:
            // lParam -1 keeps Windows from painting a caption strip over the client area.
            *result = DefWindowProcW(msg->hwnd, msg->message, msg->wParam, -1);
            return true;
        default:
            return false;
        }
    }

    const Entry *find(HWND hwnd)
    {
        for (qsizetype i = entries.size() - 1; i >= 0; --i) {
            if (!entries.at(i).window) {
                entries.removeAt(i);
            } else if (entries.at(i).hwnd == hwnd) {
                return &entries.at(i);
            }
        }
        return nullptr;
    }

    static LRESULT hitTestCode(Platform::FrameArea area)
    {
        using Platform::FrameArea;
        switch (area) {
        case FrameArea::None:
            return HTNOWHERE;
        case FrameArea::Client:
            return HTCLIENT;
        case FrameArea::Caption:
            return HTCAPTION;
        case FrameArea::Left:
            return HTLEFT;
        case FrameArea::Right:
            return HTRIGHT;
        case FrameArea::Top:
            return HTTOP;
        case FrameArea::Bottom:
            return HTBOTTOM;
        case FrameArea::TopLeft:
            return HTTOPLEFT;
        case FrameArea::TopRight:
            return HTTOPRIGHT;
        case FrameArea::BottomLeft:
            return HTBOTTOMLEFT;
        case FrameArea::BottomRight:
            return HTBOTTOMRIGHT;
        }
        return HTCLIENT;
    }
};

} // namespace

namespace Platform {

bool hasNativeCustomFrames()
{
    return true;
}

bool attachCustomFrame(QWindow *window, FrameAreaAt areaAt)
{
    if (window == nullptr || window->handle() == nullptr) {
        return false;
    }
    const auto hwnd = reinterpret_cast<HWND>(window->winId());
    CustomFrameFilter &filter = CustomFrameFilter::instance();
    if (filter.find(hwnd) == nullptr) {
        filter.entries.append({window, hwnd, std::move(areaAt)});
    }
    LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
    style |= WS_CAPTION | WS_THICKFRAME;
    const Qt::WindowFlags flags = window->flags();
    if (flags.testFlag(Qt::WindowMinimizeButtonHint)) {
        style |= WS_MINIMIZEBOX;
    }
    if (flags.testFlag(Qt::WindowMaximizeButtonHint)) {
        style |= WS_MAXIMIZEBOX;
    }
    if (flags.testFlag(Qt::WindowSystemMenuHint) || flags.testFlag(Qt::WindowCloseButtonHint)) {
        style |= WS_SYSMENU;
    }
    SetWindowLongPtrW(hwnd, GWL_STYLE, style);
    // Makes Windows ask WM_NCCALCSIZE again, now answered by the filter.
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

void detachCustomFrame(QWindow *window)
{
    CustomFrameFilter &filter = CustomFrameFilter::instance();
    filter.entries.removeIf([window](const CustomFrameFilter::Entry &e) {
        return !e.window || e.window == window;
    });
}

bool showSystemMenu(QWindow *window, QPoint globalPos)
{
    if (window == nullptr || window->handle() == nullptr) {
        return false;
    }
    const auto hwnd = reinterpret_cast<HWND>(window->winId());
    HMENU menu = GetSystemMenu(hwnd, FALSE);
    if (menu == nullptr) {
        return false;
    }
    const qreal ratio = window->devicePixelRatio();
    const BOOL zoomed = IsZoomed(hwnd);
    EnableMenuItem(menu, SC_RESTORE, MF_BYCOMMAND | (zoomed ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(menu, SC_MOVE, MF_BYCOMMAND | (zoomed ? MF_GRAYED : MF_ENABLED));
    EnableMenuItem(menu, SC_SIZE, MF_BYCOMMAND | (zoomed ? MF_GRAYED : MF_ENABLED));
    EnableMenuItem(menu, SC_MAXIMIZE, MF_BYCOMMAND | (zoomed ? MF_GRAYED : MF_ENABLED));
    const int command = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN,
                                       qRound(globalPos.x() * ratio), qRound(globalPos.y() * ratio),
                                       0, hwnd, nullptr);
    if (command != 0) {
        PostMessageW(hwnd, WM_SYSCOMMAND, WPARAM(command), 0);
    }
    return true;
}

} // namespace Platform
