// SendMessageA on Linux: a dialog's messages go through its class-library window (and from there
// to the platform's default handling below); a control answers its own.
#include "cwnd.h"
#include "control_text.h"
#include "dialog_window.h"

#include <QApplication>
#include <QComboBox>
#include <QWindow>

#include <algorithm>
#include <cstring>


namespace qtlayer {

namespace {

LRESULT CopyText(const std::string& text, WPARAM bufferSize, LPARAM buffer)
{
    if (buffer == 0 || bufferSize == 0)
        return 0;
    const std::size_t copied = std::min<std::size_t>(text.size(), bufferSize - 1);
    auto* target = reinterpret_cast<char*>(buffer);
    std::memcpy(target, text.data(), copied);
    target[copied] = '\0';
    return static_cast<LRESULT>(copied);
}

LRESULT TextMessage(HWND__& window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(GetText(window).size());
    case WM_GETTEXT:
        return CopyText(GetText(window), wParam, lParam);
    case WM_SETTEXT:
        SetText(window, lParam ? reinterpret_cast<const char*>(lParam) : "");
        return TRUE;
    default:
        return 0;
    }
}

LRESULT ComboMessage(HWND__& record, QComboBox& combo, UINT message, WPARAM wParam, LPARAM lParam)
{
    const int index = static_cast<int>(static_cast<LONG_PTR>(wParam));
    switch (message) {
    case CB_ADDSTRING: {
        // Adding to an unsorted list never moves the field's text or the selection.
        const QString kept = combo.currentText();
        const QSignalBlocker quiet(combo);
        combo.addItem(QString::fromUtf8(lParam ? reinterpret_cast<const char*>(lParam) : ""));
        combo.setCurrentIndex(record.comboSelection);
        combo.setEditText(kept);
        return combo.count() - 1;
    }
    case CB_GETCOUNT:
        return combo.count();
    case CB_GETCURSEL:
        return record.comboSelection >= 0 ? record.comboSelection : CB_ERR;
    case CB_SETCURSEL:
        combo.setCurrentIndex(index >= 0 && index < combo.count() ? index : -1);
        record.comboSelection = combo.currentIndex();
        return index >= 0 && index < combo.count() ? index : CB_ERR;
    case CB_GETLBTEXTLEN:
        return index >= 0 && index < combo.count() ? static_cast<LRESULT>(combo.itemText(index).toStdString().size()) : CB_ERR;
    case CB_GETLBTEXT:
        if (index < 0 || index >= combo.count() || lParam == 0)
            return CB_ERR;
        return CopyText(combo.itemText(index).toStdString(), static_cast<WPARAM>(-1), lParam);
    default:
        return TextMessage(record, message, wParam, lParam);
    }
}


}  // namespace

// What DefWindowProc and the dialog manager do with the messages this tool meets.
LRESULT DefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND__* record = Lookup(window);
    DialogWindow* dialog = DialogOf(window);
    if (record == nullptr || dialog == nullptr)
        return 0;
    switch (message) {
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE)
            return dialog->Route(WM_CLOSE, 0, 0);
        if ((wParam & 0xFFF0) == SC_MOVE && dialog->windowHandle() != nullptr)
            dialog->windowHandle()->startSystemMove();
        return 0;
    case WM_CLOSE:
        return dialog->Route(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    case WM_SETICON:
        return reinterpret_cast<LRESULT>(SetWindowIcon(*dialog, wParam, reinterpret_cast<HICON>(lParam)));
    case WM_GETICON:
        return reinterpret_cast<LRESULT>(wParam == ICON_BIG ? record->bigIcon : record->smallIcon);
    case WM_ICONERASEBKGND:
        return EraseIconBackground(*record, reinterpret_cast<HDC>(wParam));
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
    case WM_SETTEXT:
        return TextMessage(*record, message, wParam, lParam);
    default:
        return 0;
    }
}

}  // namespace qtlayer

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return qtlayer::DefaultProc(m_hWnd, message, wParam, lParam);
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND__* record = qtlayer::Lookup(window);
    if (record == nullptr)
        return 0;
    if (record->kind == ControlKind::Dialog)
        return record->owner ? record->owner->WindowProc(message, wParam, lParam)
                             : qtlayer::DefaultProc(window, message, wParam, lParam);
    if (auto* combo = qobject_cast<QComboBox*>(record->widget.data()))
        return qtlayer::ComboMessage(*record, *combo, message, wParam, lParam);
    return qtlayer::TextMessage(*record, message, wParam, lParam);
}

HWND GetDlgItem(HWND dialog, int id)
{
    return qtlayer::FindChild(dialog, id);
}
