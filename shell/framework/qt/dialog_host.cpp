#include "dialog_host.h"

#include "dialog_window.h"
#include "module_resources.h"

#include <QWindow>

#include <memory>

INT_PTR DialogHost::RunModal(CDialog& dialog, CWnd* owner)
{
    const auto dialogTemplate = qtlayer::LoadDialogTemplate(dialog.TemplateId());
    if (!dialogTemplate)
        return -1;
    HWND__* ownerRecord = owner ? qtlayer::Lookup(owner->m_hWnd) : nullptr;
    QWidget* ownerWidget = ownerRecord ? ownerRecord->widget.data() : nullptr;

    auto window = std::make_unique<qtlayer::DialogWindow>(dialog, *dialogTemplate, nullptr);
    dialog.m_hWnd = window->Handle();
    if (ownerWidget != nullptr) {
        // Owned, not a child: the box stays above its owner, which takes no input meanwhile. It
        // shows its owner's icon, as the application's windows all do; given before the window
        // is made, the icon reaches the window system once.
        window->setWindowIcon(ownerWidget->windowIcon());
        window->winId();
        window->windowHandle()->setTransientParent(ownerWidget->windowHandle());
        ownerWidget->setEnabled(false);
    }

    if (dialog.OnInitDialog())
        window->FocusFirstTabStop();
    if (window->EndResult() == -1)
        window->exec();
    const int result = window->EndResult();

    if (ownerWidget != nullptr)
        ownerWidget->setEnabled(true);
    dialog.m_hWnd = nullptr;
    return result;
}

void DialogHost::End(CDialog& dialog, int result)
{
    if (qtlayer::DialogWindow* window = qtlayer::DialogOf(dialog.m_hWnd))
        window->End(result);
}
