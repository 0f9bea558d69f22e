// What the comm trace costs: the comm calls of one 4-byte exchange (open, settings, purge,
// time-outs, write, read, purge, close: 11 calls) against a pseudo-terminal peer that answers at
// once, timed with the trace as the environment has it. scripts/bench.sh runs it with the trace off
// and on and prints both rows.
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
    const Bytes answer{0x11, 0x22, 0x33, 0x44};
    peer.SetAnswer(answer);
    const unsigned char sent[4] = {0x55, 0x66, 0x77, 0x88};
    const int runs = 500;
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        {
            CCommPort port("com1");
            port.Open(CBR_19200);
            port.Write(sent, 4);
            unsigned char received[4];
            if (port.Read(received, 4) != 4)
                std::fprintf(stdout, "(a run missed the answer)\n");
        }
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    std::printf("| %-52s | %9.3f | %9.3f | %s |\n",
                CommTraceOn() ? "11 comm calls of a 4-byte exchange, trace on" : "11 comm calls of a 4-byte exchange, trace off",
                times[times.size() / 2], times.back(), CommTraceOn() ? "lines to a file" : "500 runs each");
    return 0;
}
