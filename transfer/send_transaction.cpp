// The Send button: one complete exchange on the serial line, from the dialog's fields to the
// result box. Nothing is reported but the lines appended; a failed port ends the Send silently.
#include "baud_table.h"
#include "comm_port.h"
#include "conversions.h"
#include "probe_dialog.h"
#include "resource.h"

#include <array>
#include <cstdint>

namespace {

constexpr const char* kPortName = "com1";
constexpr int kByteFields[transfer::kFrameSize] = {IDC_BYTE0, IDC_BYTE1, IDC_BYTE2, IDC_BYTE3};
constexpr int kReceiveSize = 100;

}  // namespace

void CProbeDialog::OnOK()
{
    m_pCurrentPort = std::make_unique<CCommPort>(kPortName);
    if (!OpenAtChosenRate()) {
        m_pCurrentPort.reset();
        return;
    }

    CString countText;
    CString byteTexts[transfer::kFrameSize];
    GetDlgItemText(IDC_SEND_COUNT, countText);
    for (int i = 0; i < transfer::kFrameSize; ++i)
        GetDlgItemText(kByteFields[i], byteTexts[i]);

    const int count = transfer::ParseCount(countText.Str());
    transfer::Frame frame{};
    for (int i = 0; i < transfer::kFrameSize; ++i) {
        byteTexts[i].MakeUpper();
        frame[static_cast<std::size_t>(i)] = transfer::FrameByte(byteTexts[i].Str());
    }
    m_pCurrentPort->Write(frame.data(), transfer::BytesToSend(count));

    std::array<std::uint8_t, kReceiveSize> received{};
    const int receivedCount = m_pCurrentPort->Read(received.data(), kReceiveSize);
    // A platform that claims more than was asked for cannot make the tool show bytes it never had.
    for (int i = 0; i < receivedCount && i < kReceiveSize; ++i)
        AppendResultLine(CString(transfer::ResultLine(received[static_cast<std::size_t>(i)])));

    m_pCurrentPort.reset();
}

bool CProbeDialog::OpenAtChosenRate()
{
    CWnd* baudList = GetDlgItem(IDC_BAUD_LIST);
    const LRESULT index = baudList ? baudList->SendMessage(CB_GETCURSEL) : CB_ERR;
    if (index < 0 || index >= static_cast<LRESULT>(transfer::kBaudTable.size()))
        return false;
    return m_pCurrentPort->Open(transfer::kBaudTable[static_cast<std::size_t>(index)].rate) == 1;
}

void CProbeDialog::AppendResultLine(const CString& line)
{
    // The box changes once per byte: read it whole, append, write it whole.
    CString text;
    GetDlgItemText(IDC_RESULT, text);
    text += line;
    SetDlgItemText(IDC_RESULT, text);
}
