#include "dialog_driver.h"

#include "dialog_window.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <vector>

DialogDriver::DialogDriver(CDialog& dialog) : m_handle([&dialog] { return dialog.m_hWnd; }) {}

DialogDriver DialogDriver::ActiveModal()
{
    QWidget* modal = QApplication::activeModalWidget();
    return DialogDriver([modal] { return modal ? qtlayer::FindHandle(modal) : nullptr; });
}

QWidget* DialogDriver::Window() const
{
    HWND__* record = qtlayer::Lookup(Handle());
    return record ? record->widget.data() : nullptr;
}

QWidget* DialogDriver::Control(int id) const
{
    HWND__* record = qtlayer::Lookup(::GetDlgItem(Handle(), id));
    return record ? record->widget.data() : nullptr;
}

std::string DialogDriver::Text(int id) const
{
    HWND control = id == 0 ? Handle() : ::GetDlgItem(Handle(), id);
    std::vector<char> buffer(static_cast<std::size_t>(::SendMessageA(control, WM_GETTEXTLENGTH, 0, 0)) + 1);
    const LRESULT copied = ::SendMessageA(control, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    return std::string(buffer.data(), static_cast<std::size_t>(copied));
}

void DialogDriver::SetText(int id, const std::string& text) const
{
    Send(id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void DialogDriver::Type(int id, const QString& text) const
{
    QWidget* control = Control(id);
    control->setFocus();
    if (auto* combo = qobject_cast<QComboBox*>(control))
        control = combo->lineEdit();
    QTest::keyClicks(control, text);
}

void DialogDriver::SelectRate(int index) const
{
    auto* combo = qobject_cast<QComboBox*>(Control(1011));
    combo->setFocus();
    combo->setCurrentIndex(-1);
    // Down from no selection picks the first entry, as on Windows; then on to `index`.
    for (int i = 0; i <= index; ++i)
        QTest::keyClick(combo, Qt::Key_Down);
}

bool DialogDriver::PickFromList(int id, int index) const
{
    auto* combo = ControlAs<QComboBox>(id);
    combo->showPopup();
    QAbstractItemView* list = combo->view();
    if (!WaitUntil([list] { return list->isVisible(); }))
        return false;
    const QPoint entry = list->visualRect(list->model()->index(index, 0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, entry);
    return WaitUntil([list] { return !list->isVisible(); });
}

void DialogDriver::Click(int id) const
{
    QTest::mouseClick(Control(id), Qt::LeftButton);
}

void DialogDriver::Key(int id, int key, Qt::KeyboardModifiers modifiers) const
{
    QWidget* target = id == 0 ? Window() : Control(id);
    target->setFocus();
    if (auto* combo = qobject_cast<QComboBox*>(target))
        target = combo->lineEdit();
    QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
}

bool DialogDriver::Ended() const
{
    const qtlayer::DialogWindow* window = qtlayer::DialogOf(Handle());
    return window == nullptr || window->EndResult() != -1;
}

LRESULT DialogDriver::Send(int id, UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::SendMessageA(id == 0 ? Handle() : ::GetDlgItem(Handle(), id), message, wParam, lParam);
}

bool WaitUntil(const std::function<bool()>& condition, int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > milliseconds)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

namespace {

// Polls from inside the nested loop `action` starts until `ready` finds what came up.
template <typename Found>
bool WithNested(const std::function<void()>& action, const std::function<Found*()>& ready,
                const std::function<void(Found&)>& inside)
{
    bool seen = false;
    QElapsedTimer elapsed;
    elapsed.start();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (Found* found = ready()) {
            poll.stop();
            seen = true;
            inside(*found);
        } else if (elapsed.elapsed() > 5000) {
            poll.stop();
        }
    });
    poll.start(5);
    action();
    // An action that opened nothing returns at once: give a late box no chance to linger.
    poll.stop();
    return seen;
}

}  // namespace

bool WithNestedModal(const std::function<void()>& action, const std::function<void(DialogDriver&)>& inside)
{
    QWidget* outer = QApplication::activeModalWidget();
    DialogDriver nested = DialogDriver::ActiveModal();
    return WithNested<DialogDriver>(
        action,
        [&]() -> DialogDriver* {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr || modal == outer || !modal->isVisible())
                return nullptr;
            nested = DialogDriver::ActiveModal();
            return &nested;
        },
        inside);
}

bool WithPopup(const std::function<void()>& action, const std::function<void(QWidget&)>& inside)
{
    return WithNested<QWidget>(
        action,
        []() -> QWidget* {
            QWidget* popup = QApplication::activePopupWidget();
            return popup && popup->isVisible() ? popup : nullptr;
        },
        inside);
}

// The watchdog is there for a dialog that never ends, not for a slow one: under an emulator (a cross
// build's tests) a megabyte of text in every field takes more than a minute.
#ifdef VORNIKAL_EMULATOR
constexpr int kWatchdogMs = 300000;
#else
constexpr int kWatchdogMs = 60000;
#endif

INT_PTR RunModal(CDialog& dialog, const std::function<void(DialogDriver&)>& body)
{
    DialogDriver driver(dialog);
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        ADD_FAILURE() << "the dialog was still running after the watchdog's deadline";
        if (driver.Running())
            dialog.EndDialog(-2);
    });
    watchdog.start(kWatchdogMs);
    QTimer::singleShot(0, [&] {
        body(driver);
        if (!driver.Ended())
            dialog.EndDialog(static_cast<int>(kLeftRunning));
    });
    return dialog.DoModal();
}
