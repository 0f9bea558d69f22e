// The window, icon and painting calls of the Win32 subset, over the layer's Qt windows.
#include "dialog_window.h"
#include "module_resources.h"

#include <QApplication>
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
    QIcon shown;
    for (HICON each : {record->bigIcon, record->smallIcon}) {
        if (each != nullptr) {
            shown.addPixmap(QPixmap::fromImage(each->big));
            shown.addPixmap(QPixmap::fromImage(each->small));
        }
    }
    dialog.setWindowIcon(shown);
    // The application's main window speaks for the application: its owned boxes and the task
    // bar show the same icon.
    if (dialog.parentWidget() == nullptr)
        QApplication::setWindowIcon(shown);
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

BOOL DrawIcon(HDC dc, int x, int y, HICON icon)
{
    if (dc == nullptr || icon == nullptr || !dc->painter.isActive())
        return FALSE;
    dc->painter.drawImage(x, y, icon->big);
    return TRUE;
}
