// CDialog: a dialog box built from a dialog template of the module's resources.
#pragma once

#include "cwnd.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // Shows the dialog and runs it until EndDialog; returns EndDialog's result, or -1 when the
    // dialog could not be made.
    virtual INT_PTR DoModal();
    void EndDialog(int result);
    UINT TemplateId() const { return m_templateId; }

    virtual BOOL OnInitDialog();

protected:
    virtual void OnOK();
    virtual void OnCancel();

    DECLARE_MESSAGE_MAP()

private:
    UINT m_templateId;
    CWnd* m_pParentWnd;
    friend class DialogHost;
};
