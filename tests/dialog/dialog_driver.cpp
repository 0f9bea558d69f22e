#include "dialog_driver.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

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
    CString text;
    m_dialog.GetDlgItemText(id, text);
    return text.Str();
}

void DialogDriver::SetText(int id, const std::string& text) const
{
    m_dialog.SetDlgItemText(id, text.c_str());
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

void DialogDriver::Click(int id) const
{
    QTest::mouseClick(Control(id), Qt::LeftButton);
}

void DialogDriver::Key(int id, int key, Qt::KeyboardModifiers modifiers) const
{
    QWidget* control = id == 0 ? Window() : Control(id);
    control->setFocus();
    if (auto* combo = qobject_cast<QComboBox*>(control))
        control = combo->lineEdit();
    QTest::keyClick(control, static_cast<Qt::Key>(key), modifiers);
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
    watchdog.start(60000);
    QTimer::singleShot(0, [&] {
        body(driver);
        if (driver.Running())
            dialog.EndDialog(IDCANCEL);
    });
    return dialog.DoModal();
}
