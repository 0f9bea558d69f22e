// Drives a modal dialog of the tool from inside its modal loop, with real Qt widgets and real key
// events, and reads it back through the same Win32 calls the tool uses.
#pragma once

#include "framework.h"
#include "window_handle.h"

#include <QWidget>

#include <functional>
#include <string>

class DialogDriver {
public:
    explicit DialogDriver(CDialog& dialog);
    // The modal box that is up now (an About box opened over the main dialog), if any.
    static DialogDriver ActiveModal();

    HWND Handle() const { return m_handle(); }
    QWidget* Window() const;
    QWidget* Control(int id) const;
    template <typename Widget>
    Widget* ControlAs(int id) const { return qobject_cast<Widget*>(Control(id)); }

    std::string Text(int id) const;                        // WM_GETTEXT, as the tool reads it
    void SetText(int id, const std::string& text) const;   // WM_SETTEXT
    void Type(int id, const QString& text) const;          // real key presses into the control
    void SelectRate(int index) const;                      // picks a list entry as a user does
    bool PickFromList(int id, int index) const;            // opens the list and clicks the entry
    void Click(int id) const;
    void Key(int id, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const;  // id 0: the dialog
    LRESULT Send(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;      // id 0: the dialog
    bool Running() const { return qtlayer::Lookup(Handle()) != nullptr; }
    // Whether something has ended the dialog; its window goes once its loop has returned.
    bool Ended() const;

private:
    explicit DialogDriver(std::function<HWND()> handle) : m_handle(std::move(handle)) {}
    std::function<HWND()> m_handle;
};

// The result of a dialog that was still up when the test's body returned: no key or command of
// the dialog's own gives it, so a test that expects IDCANCEL sees that its key did nothing.
constexpr INT_PTR kLeftRunning = -3;

// Runs `dialog` modally, calls `body` once its loop runs, and makes sure the dialog ends: a body
// that returns with the dialog still up ends it with kLeftRunning; a watchdog ends a stuck one.
// Returns DoModal's result.
INT_PTR RunModal(CDialog& dialog, const std::function<void(DialogDriver&)>& body);

// Runs `action`, which opens a nested modal box or popup, and calls `inside` once that box is up.
// `inside` must close it. Returns whether one came up before the deadline.
bool WithNestedModal(const std::function<void()>& action, const std::function<void(DialogDriver&)>& inside);
// The same for a popup menu: `inside` gets the menu's widget and must close it.
bool WithPopup(const std::function<void()>& action, const std::function<void(QWidget&)>& inside);

// Processes events until `condition` holds or the deadline passes.
bool WaitUntil(const std::function<bool()>& condition, int milliseconds = 5000);
