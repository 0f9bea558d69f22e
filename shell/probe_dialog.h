// CProbeDialog: the main dialog, the whole user interface of the tool.
#pragma once

#include "comm_port.h"
#include "framework.h"

#include <memory>
#include <optional>

class CProbeDialog : public CDialog {
public:
    explicit CProbeDialog(CWnd* parent = nullptr);
    ~CProbeDialog() override;

protected:
    void DoDataExchange(CDataExchange* exchange) override;
    BOOL OnInitDialog() override;
    // The Send transaction: one exchange on the serial line (transfer/send_transaction.cpp).
    void OnOK() override;

    void OnSysCommand(UINT id, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnClearResult();

    DECLARE_MESSAGE_MAP()

    HICON m_hIcon;
    // The port of the Send in progress; empty from construction and outside a Send.
    std::unique_ptr<CCommPort> m_currentPort;

private:
    // The rate the baud list's selection stands for; nothing when none is selected.
    std::optional<DWORD> ChosenRate();
    void AppendResultLine(const CString& line);
};
