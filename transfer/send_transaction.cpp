// The Send button: one complete exchange on the serial line, from the dialog's fields to the
// result box. Nothing is reported but the lines appended; a failed port ends the Send silently.
// The port lives on the heap from the first step to the last, recorded as the dialog's current
// port, and the device stays held while the answer is shown.
#include "baud_table.h"
#include "conversions.h"
#include "line_exchange.h"
#include "probe_dialog.h"
#include "resource.h"

#include <cstdint>

namespace {

constexpr const char* kPortName = "com1";
constexpr int kByteFields[transfer::kFrameSize] = {IDC_BYTE0, IDC_BYTE1, IDC_BYTE2, IDC_BYTE3};

}  // namespace

void CProbeDialog::OnOK()
{
    m_currentPort = std::make_unique<CCommPort>(kPortName);
    const std::optional<DWORD> rate = ChosenRate();
    if (!rate || transfer::TakePort(*m_currentPort, *rate)) {
        m_currentPort.reset();
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
    const std::span<const std::uint8_t> sent(frame.data(), static_cast<std::size_t>(transfer::BytesToSend(count)));
    for (const std::uint8_t byte : transfer::Exchange(*m_currentPort, sent).received)
        AppendResultLine(CString(transfer::ResultLine(byte)));
    // Destroying the port discards what is still queued and releases the device.
    m_currentPort.reset();
}

std::optional<DWORD> CProbeDialog::ChosenRate()
{
    CWnd* baudList = GetDlgItem(IDC_BAUD_LIST);
    const LRESULT index = baudList ? baudList->SendMessage(CB_GETCURSEL) : CB_ERR;
    if (index < 0 || index >= static_cast<LRESULT>(transfer::kBaudTable.size()))
        return std::nullopt;
    return transfer::kBaudTable[static_cast<std::size_t>(index)].rate;
}

void CProbeDialog::AppendResultLine(const CString& line)
{
    // The box changes once per byte: read it whole, append, write it whole.
    CString text;
    GetDlgItemText(IDC_RESULT, text);
    text += line;
    SetDlgItemText(IDC_RESULT, text);
}
