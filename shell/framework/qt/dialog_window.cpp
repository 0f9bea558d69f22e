#include "dialog_window.h"

#include "cdialog.h"
#include "control_factory.h"
#include "row_labels.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QMouseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

namespace qtlayer {

namespace {

Qt::WindowFlags FlagsFor(DWORD style)
{
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint;
    if ((style & WS_CAPTION) == WS_CAPTION)
        flags |= Qt::WindowTitleHint;
    if (style & WS_SYSMENU)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (style & WS_MINIMIZEBOX)
        flags |= Qt::WindowMinimizeButtonHint;
    if (style & WS_MAXIMIZEBOX)
        flags |= Qt::WindowMaximizeButtonHint;
    return flags;
}

bool IsEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

bool OpensSystemMenu(const QKeyEvent* event)
{
    const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
    return (event->key() == Qt::Key_Space && modifiers == Qt::AltModifier) ||
           (event->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier) || event->key() == Qt::Key_Menu;
}

}  // namespace

DialogWindow::DialogWindow(CDialog& dialog, const res::DialogTemplate& dialogTemplate, QWidget* ownerWidget)
    : QDialog(ownerWidget, FlagsFor(dialogTemplate.style)), m_dialog(dialog), m_metrics(MetricsFor(dialogTemplate))
{
    HWND__ record;
    record.widget = this;
    record.kind = ControlKind::Dialog;
    record.style = dialogTemplate.style;
    record.owner = &dialog;
    m_handle = RegisterWindow(std::move(record));
    if (dialogTemplate.style & WS_SYSMENU)
        m_systemMenu = std::make_unique<SystemMenu>();

    setWindowTitle(QString::fromStdU16String(dialogTemplate.caption));
    // The right button is handled on release, as Windows does, not by Qt's context-menu event.
    setContextMenuPolicy(Qt::PreventContextMenu);
    setFont(m_metrics.font);
    // The template gives the client area; the dialog neither grows nor shrinks.
    setFixedSize(m_metrics.X(dialogTemplate.cx), m_metrics.Y(dialogTemplate.cy));
    {
        const ScopedApplicationFont controlsFont(m_metrics.font);
        BuildControls(dialogTemplate);
    }
    NameFieldsByTheirRowLabels();
}

DialogWindow::~DialogWindow()
{
    for (HWND child : m_children)
        UnregisterWindow(child);
    UnregisterWindow(m_handle);
}

void DialogWindow::BuildControls(const res::DialogTemplate& dialogTemplate)
{
    QWidget* previousTabStop = nullptr;
    for (const res::DialogItem& item : dialogTemplate.items) {
        const MadeControl made = MakeControl(item, m_metrics, this);
        HWND__ record;
        record.widget = made.widget;
        record.kind = made.kind;
        record.id = item.id;
        record.style = item.style;
        record.parent = m_handle;
        const HWND child = RegisterWindow(std::move(record));
        m_children.push_back(child);
        made.widget->installEventFilter(this);

        if (auto* button = qobject_cast<QAbstractButton*>(made.widget)) {
            connect(button, &QAbstractButton::clicked, this,
                    [this, id = item.id, child] { SendCommand(id, BN_CLICKED, child); });
        }
        if (auto* combo = qobject_cast<QComboBox*>(made.widget)) {
            // The list's selection follows the list; typing in the field leaves none selected. A
            // pick from the list always selects its entry, even the one Qt still has as current
            // after typing, for which Qt reports no change of index.
            const auto select = [child](int index) { if (HWND__* r = Lookup(child)) r->comboSelection = index; };
            connect(combo, &QComboBox::currentIndexChanged, this, select);
            connect(combo, &QComboBox::activated, this, select);
            if (QLineEdit* field = combo->lineEdit()) {
                field->installEventFilter(this);
                connect(field, &QLineEdit::textEdited, this,
                        [child] { if (HWND__* r = Lookup(child)) r->comboSelection = -1; });
            }
        }
        // Tab order is template order.
        if (made.widget->focusPolicy() & Qt::TabFocus) {
            if (previousTabStop != nullptr)
                QWidget::setTabOrder(previousTabStop, made.widget);
            previousTabStop = made.widget;
        }
    }
}

void DialogWindow::FocusFirstTabStop()
{
    for (HWND child : m_children) {
        const HWND__* record = Lookup(child);
        if (record && (record->style & WS_TABSTOP) && record->widget->isEnabled()) {
            record->widget->setFocus();
            return;
        }
    }
}

// A field without a text of its own is named, for assistive technology, by the label on its row.
void DialogWindow::NameFieldsByTheirRowLabels()
{
    std::vector<QLabel*> labels;
    std::vector<RECT> boxes;
    for (HWND child : m_children) {
        const HWND__* record = Lookup(child);
        if (record->kind != ControlKind::Static)
            continue;
        labels.push_back(static_cast<QLabel*>(record->widget.data()));
        const QRect box = record->widget->geometry();
        boxes.push_back({box.left(), box.top(), box.left() + box.width(), box.top() + box.height()});
    }
    for (HWND child : m_children) {
        const HWND__* record = Lookup(child);
        if (record->kind != ControlKind::Edit && record->kind != ControlKind::ComboBox)
            continue;
        const QRect box = record->widget->geometry();
        const int label = RowLabelOf(boxes, {box.left(), box.top(), box.left() + box.width(), box.top() + box.height()});
        if (label >= 0) {
            labels[static_cast<std::size_t>(label)]->setBuddy(record->widget);
            record->widget->setAccessibleName(labels[static_cast<std::size_t>(label)]->text());
        }
    }
}

LRESULT DialogWindow::Route(UINT message, WPARAM wParam, LPARAM lParam)
{
    return m_dialog.WindowProc(message, wParam, lParam);
}

void DialogWindow::SendCommand(int id, UINT code, HWND control)
{
    Route(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), static_cast<WORD>(code)), reinterpret_cast<LPARAM>(control));
}

void DialogWindow::PressDefaultButton()
{
    for (HWND child : m_children) {
        HWND__* record = Lookup(child);
        if (record == nullptr || record->kind != ControlKind::PushButton)
            continue;
        if ((record->style & 0x0F) == BS_DEFPUSHBUTTON) {
            if (record->widget->isEnabled())
                SendCommand(record->id, BN_CLICKED, child);
            return;
        }
    }
    // With no default push button, Windows sends IDOK.
    SendCommand(IDOK, BN_CLICKED, nullptr);
}

bool DialogWindow::HandleKey(QKeyEvent* event)
{
    if (OpensSystemMenu(event) && m_systemMenu) {
        ShowSystemMenu(mapToGlobal(QPoint(0, 0)));
        return true;
    }
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    if (IsEnter(event->key())) {
        // Enter presses the push button that has the focus, else the default button.
        if (auto* focused = qobject_cast<QPushButton*>(QApplication::focusWidget()); focused && isAncestorOf(focused))
            focused->click();
        else
            PressDefaultButton();
        return true;
    }
    if (event->key() == Qt::Key_Escape) {
        SendCommand(IDCANCEL, BN_CLICKED, nullptr);
        return true;
    }
    return false;
}

bool DialogWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && HandleKey(static_cast<QKeyEvent*>(event)))
        return true;
    return QDialog::eventFilter(watched, event);
}

void DialogWindow::keyPressEvent(QKeyEvent* event)
{
    if (!HandleKey(event))
        QDialog::keyPressEvent(event);
}

void DialogWindow::reject()
{
    SendCommand(IDCANCEL, BN_CLICKED, nullptr);
}

void DialogWindow::closeEvent(QCloseEvent* event)
{
    // The window manager's close button is the system menu's Close command.
    event->ignore();
    Route(WM_SYSCOMMAND, SC_CLOSE, 0);
}

void DialogWindow::mouseReleaseEvent(QMouseEvent* event)
{
    // As on Windows, the right button's release on the free area (labels included; controls with
    // a menu of their own keep the click) opens the menu.
    if (event->button() == Qt::RightButton && m_systemMenu)
        ShowSystemMenu(event->globalPosition().toPoint());
    else
        QDialog::mouseReleaseEvent(event);
}

void DialogWindow::ShowSystemMenu(const QPoint& globalPosition)
{
    const UINT command = m_systemMenu->Choose(this, globalPosition);
    if (command != 0)
        Route(WM_SYSCOMMAND, command, 0);
}

void DialogWindow::paintEvent(QPaintEvent*)
{
    m_paintTarget = this;
    Route(WM_PAINT, 0, 0);
    m_paintTarget = nullptr;
}

QImage DialogWindow::RenderIconic()
{
    QImage image(size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    m_paintTarget = &image;
    m_renderingIconic = true;
    Route(WM_PAINT, 0, 0);
    m_renderingIconic = false;
    m_paintTarget = nullptr;
    return image;
}

void DialogWindow::End(int result)
{
    m_endResult = result;
    done(result);
}

DialogWindow* DialogOf(HWND window)
{
    HWND__* record = Lookup(window);
    if (record == nullptr || record->kind != ControlKind::Dialog)
        return nullptr;
    return static_cast<DialogWindow*>(record->widget.data());
}

}  // namespace qtlayer
