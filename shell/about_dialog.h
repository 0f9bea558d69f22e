// CAboutDialog: the About box, opened from the main dialog's system menu.
#pragma once

#include "framework.h"

class CAboutDialog : public CDialog {
public:
    CAboutDialog();

protected:
    void DoDataExchange(CDataExchange* exchange) override;

    DECLARE_MESSAGE_MAP()
};
