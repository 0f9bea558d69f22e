// What the comm trace costs: the comm calls of a Send without its wait for an answer (open,
// settings, purge, time-outs, a 4-byte write, purge, close: 10 calls) on a pseudo-terminal, timed
// with the trace as the environment has it. scripts/bench.sh runs it with the trace off and on.
#include "comm_port.h"
#include "comm_trace.h"
#include "pty_peer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

int main()
{
    PtyPeer peer;
    const unsigned char sent[4] = {0x55, 0x66, 0x77, 0x88};
    const int runs = 2000;
    const int calls = 10;
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        {
            CCommPort port("com1");
            port.Open(CBR_19200);
            port.Write(sent, 4);
        }
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    char note[64];
    std::snprintf(note, sizeof note, "%.1f us per call, %d runs", median * 1000.0 / calls, runs);
    std::printf("| %-52s | %9.3f | %9.3f | %s |\n",
                CommTraceOn() ? "10 comm calls of a Send, trace on (lines to a file)" : "10 comm calls of a Send, trace off",
                median, times.back(), note);
    return 0;
}
