// CProbeDialog: the main dialog, the whole user interface of the tool.
#pragma once

#include "framework.h"

#include <optional>

class CProbeDialog : public CDialog {
public:
    explicit CProbeDialog(CWnd* parent = nullptr);
    ~CProbeDialog() override;

    BOOL OnInitDialog() override;

protected:
    void DoDataExchange(CDataExchange* exchange) override;
    // The Send transaction: one exchange on the serial line (transfer/send_transaction.cpp).
    void OnOK() override;

    void OnSysCommand(UINT id, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnClearResult();

    DECLARE_MESSAGE_MAP()

private:
    HICON m_hIcon;

    // The rate the baud list's selection stands for; nothing when none is selected.
    std::optional<DWORD> ChosenRate();
    void AppendResultLine(const CString& line);
};
