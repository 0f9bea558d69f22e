// The Qt window of one dialog: made from its template, it turns the user's actions into the
// messages a Windows dialog receives and hands them to the dialog's CWnd::WindowProc.
#pragma once

#include "dialog_font.h"
#include "system_menu.h"
#include "window_handle.h"

#include <QDialog>

#include <memory>
#include <vector>

class CDialog;

namespace qtlayer {

class DialogWindow : public QDialog {
public:
    DialogWindow(CDialog& dialog, const res::DialogTemplate& dialogTemplate, QWidget* ownerWidget);
    ~DialogWindow() override;

    HWND Handle() const { return m_handle; }
    LRESULT Route(UINT message, WPARAM wParam, LPARAM lParam);

    SystemMenu* Menu() { return m_systemMenu.get(); }
    // Where the focus goes when OnInitDialog leaves it to the dialog: the first tab stop.
    void FocusFirstTabStop();
    void ShowSystemMenu(const QPoint& globalPosition);

    // Painting goes to the widget, or to an image while the minimized look is rendered.
    QPaintDevice* PaintTarget() const { return m_paintTarget; }
    bool ShownIconic() const { return m_renderingIconic || isMinimized(); }
    QImage RenderIconic();

    // The result EndDialog gave, once the dialog has ended.
    void End(int result);
    int EndResult() const { return m_endResult; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void reject() override;

private:
    CDialog& m_dialog;
    HWND m_handle = nullptr;
    std::vector<HWND> m_children;
    DialogMetrics m_metrics;
    std::unique_ptr<SystemMenu> m_systemMenu;
    QPaintDevice* m_paintTarget = nullptr;
    bool m_renderingIconic = false;
    int m_endResult = -1;

    void BuildControls(const res::DialogTemplate& dialogTemplate);
    void NameFieldsByTheirRowLabels();
    bool HandleKey(QKeyEvent* event);
    void PressDefaultButton();
    void SendCommand(int id, UINT code, HWND control);
};

DialogWindow* DialogOf(HWND window);
// WM_SETICON: the window's big or small icon; returns the one it replaces.
HICON SetWindowIcon(DialogWindow& dialog, WPARAM which, HICON icon);
// WM_ICONERASEBKGND: fills the minimized window's background on the paint context.
BOOL EraseIconBackground(const HWND__& window, HDC dc);
LRESULT DefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace qtlayer
