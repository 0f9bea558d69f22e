// The window, icon and painting calls of the Win32 subset, over the layer's Qt windows.
#include "cpaintdc.h"
#include "cwnd.h"
#include "dialog_window.h"
#include "module_resources.h"

#include <QPainter>

struct HDC__ {
    QPainter painter;
};

namespace qtlayer {

HICON SetWindowIcon(DialogWindow& dialog, WPARAM which, HICON icon)
{
    HWND__* record = Lookup(dialog.Handle());
    HICON& slot = which == ICON_BIG ? record->bigIcon : record->smallIcon;
    const HICON previous = slot;
    slot = icon;
    // The big icon's images, and the small one's where the big one has none of a size. Before the
    // window is shown this only records the icon: Qt hands it to the window system once, when it
    // makes the window.
    std::vector<SharedIconImages> sources;
    for (HICON each : {record->bigIcon, record->smallIcon}) {
        if (each != nullptr)
            sources.push_back(each->images);
    }
    dialog.setWindowIcon(sources.empty() ? QIcon() : WindowSystemIcon(sources));
    return previous;
}

BOOL EraseIconBackground(const HWND__& window, HDC dc)
{
    if (dc == nullptr || !dc->painter.isActive())
        return FALSE;
    dc->painter.fillRect(QRect(QPoint(0, 0), window.widget->size()), window.widget->palette().window());
    return TRUE;
}

}  // namespace qtlayer

BOOL IsIconic(HWND window)
{
    const qtlayer::DialogWindow* dialog = qtlayer::DialogOf(window);
    return dialog != nullptr && dialog->ShownIconic();
}

BOOL GetClientRect(HWND window, LPRECT rect)
{
    const HWND__* record = qtlayer::Lookup(window);
    if (record == nullptr || rect == nullptr)
        return FALSE;
    *rect = {0, 0, record->widget->width(), record->widget->height()};
    return TRUE;
}

int GetSystemMetrics(int index)
{
    // The standard icon size of the icon resources (32 x 32 at 96 pixels per inch).
    if (index == SM_CXICON || index == SM_CYICON)
        return 32;
    return 0;
}

HDC BeginPaint(HWND window, LPPAINTSTRUCT paint)
{
    qtlayer::DialogWindow* dialog = qtlayer::DialogOf(window);
    if (dialog == nullptr || paint == nullptr || dialog->PaintTarget() == nullptr)
        return nullptr;
    *paint = PAINTSTRUCT{};
    auto* dc = new HDC__;
    dc->painter.begin(dialog->PaintTarget());
    paint->hdc = dc;
    paint->rcPaint = {0, 0, dialog->width(), dialog->height()};
    return dc;
}

BOOL EndPaint(HWND, const PAINTSTRUCT* paint)
{
    if (paint == nullptr || paint->hdc == nullptr)
        return FALSE;
    paint->hdc->painter.end();
    delete paint->hdc;
    return TRUE;
}

// Qt scales the window's painting to the screen: the metrics stay those of 96 DPI.
int CWnd::GetSystemMetricsAtDpi(int index) const
{
    return ::GetSystemMetrics(index);
}

BOOL CPaintDC::DrawIcon(int x, int y, HICON icon)
{
    return ::DrawIcon(m_hDC, x, y, icon);
}

BOOL DrawIcon(HDC dc, int x, int y, HICON icon)
{
    if (dc == nullptr || icon == nullptr || !dc->painter.isActive())
        return FALSE;
    // At the standard icon size in the painter's own units: on a scaled screen the icon gives its
    // image made for that scale.
    icon->icon.paint(&dc->painter, QRect(x, y, 32, 32));
    return TRUE;
}
