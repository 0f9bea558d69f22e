#include "probe_dialog.h"

#include "baud_table.h"
#include "resource.h"

BEGIN_MESSAGE_MAP(CProbeDialog, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_BN_CLICKED(IDC_CLEAR_RESULT, CProbeDialog::OnClearResult)
END_MESSAGE_MAP()

CProbeDialog::CProbeDialog(CWnd* parent) : CDialog(IDD_MAIN_DIALOG, parent)
{
    m_hIcon = ::LoadIconA(AfxFindResourceHandle(MAKEINTRESOURCE(IDI_MAIN_ICON), RT_GROUP_ICON),
                          MAKEINTRESOURCE(IDI_MAIN_ICON));
}

CProbeDialog::~CProbeDialog() = default;

void CProbeDialog::DoDataExchange(CDataExchange* exchange)
{
    CDialog::DoDataExchange(exchange);
}

BOOL CProbeDialog::OnInitDialog()
{
    CDialog::OnInitDialog();

    if (CMenu* systemMenu = GetSystemMenu(FALSE)) {
        CString aboutText;
        aboutText.LoadString(IDS_ABOUT_MENU);
        if (!aboutText.IsEmpty()) {
            systemMenu->AppendMenu(MF_SEPARATOR);
            systemMenu->AppendMenu(MF_STRING, IDM_ABOUT, aboutText);
        }
    }

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    CWnd* baudList = GetDlgItem(IDC_BAUD_LIST);
    for (const transfer::BaudEntry& entry : transfer::kBaudTable)
        baudList->SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.text));
    return TRUE;
}

void CProbeDialog::OnClearResult()
{
    SetDlgItemText(IDC_RESULT, "");
}
