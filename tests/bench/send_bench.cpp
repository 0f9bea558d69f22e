// Times a Send of the real dialog (offscreen) against a pseudo-terminal peer, and the port's own
// overhead, and prints a table. Not a test: the figures are for the README.
#include "comm_port.h"
#include "probe_dialog.h"
#include "pty_peer.h"
#include "resource.h"
#include "window_handle.h"

#include <QApplication>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(const std::function<void()>& action)
{
    const auto start = Clock::now();
    action();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Stats {
    double median;
    double worst;
};

Stats Measure(int runs, const std::function<void()>& action)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i)
        times.push_back(Milliseconds(action));
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.back()};
}

void Row(const char* what, Stats stats, const std::string& note)
{
    std::printf("| %-52s | %9.2f | %9.2f | %s |\n", what, stats.median, stats.worst, note.c_str());
}

void Press(HWND dialog, int id)
{
    ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

void SetText(HWND dialog, int id, const std::string& text)
{
    ::SendMessageA(::GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void RunBenchmarks(CProbeDialog& dialog, PtyPeer& peer)
{
    const HWND h = dialog.m_hWnd;
    ::SendMessageA(::GetDlgItem(h, IDC_BAUD_LIST), CB_SETCURSEL, 1, 0);
    SetText(h, IDC_SEND_COUNT, "1");
    SetText(h, IDC_BYTE0, "55");
    const int runs = 30;

    std::printf("| %-52s | %9s | %9s | %s |\n", "what", "median ms", "worst ms", "note");
    std::printf("|%s|%s|%s|%s|\n", std::string(54, '-').c_str(), std::string(11, '-').c_str(),
                std::string(11, '-').c_str(), "------");

    peer.SetAnswer({});
    const Stats silent = Measure(runs, [&] { Press(h, IDOK); });
    char note[96];
    std::snprintf(note, sizeof note, "read time-out 100 ms: error %+.2f ms (median)", silent.median - 100.0);
    Row("Send, nothing answering", silent, note);

    peer.SetAnswer(Bytes(100, 0x5A));
    const Stats answered = Measure(runs, [&] { Press(h, IDC_CLEAR_RESULT); Press(h, IDOK); });
    Row("Send, 100 bytes answered at once", answered, "ends as the bytes arrive");

    const Stats overhead = Measure(200, [] {
        CCommPort port("com1");
        port.Open(CBR_19200);
    });
    Row("open + settings + purge + close (no transfer)", overhead, "CCommPort on a pseudo-terminal");

    const std::string megabyte = [] {
        std::string text;
        while (text.size() < (1u << 20))
            text += "01011010\r\n";
        return text;
    }();
    Stats big{0, 0};
    std::vector<double> appends;
    for (int i = 0; i < 10; ++i) {
        SetText(h, IDC_RESULT, megabyte);
        appends.push_back(Milliseconds([&] { Press(h, IDOK); }));
    }
    std::sort(appends.begin(), appends.end());
    big = {appends[appends.size() / 2], appends.back()};
    std::snprintf(note, sizeof note, "100 lines onto 1 MiB: %+.2f ms over an empty box", big.median - answered.median);
    Row("Send, 100 bytes answered, box already 1 MiB", big, note);
}

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    PtyPeer peer;
    CProbeDialog dialog;
    QTimer::singleShot(0, [&] {
        RunBenchmarks(dialog, peer);
        dialog.EndDialog(IDCANCEL);
    });
    dialog.DoModal();
    return 0;
}
