// Sends, one after another, through the real dialog against the loopback plug, watching what a
// long session must keep steady: descriptors, memory, the device free between Sends, every echoed
// byte shown, and the time of a Send as the never-trimmed result box grows.
#pragma once

#include "dialog_driver.h"

#include <cstddef>
#include <vector>

struct SoakSample {
    int sends = 0;
    std::size_t boxBytes = 0;
    std::size_t residentKb = 0;  // after giving freed heap back to the system
    int descriptors = 0;
    double meanMs = 0;           // over the Sends since the previous sample
    double worstMs = 0;
};

struct SoakResult {
    std::vector<SoakSample> samples;
    int shortAnswers = 0;    // Sends that did not show the four echoed bytes
    int heldAfterSend = 0;   // Sends after which com1 could not be opened at once
    int refusedOthers = 0;   // samples at which another process could not open com1
    int overBound = 0;       // Sends longer than the write and read time-outs and a margin
    std::size_t clearedResidentKb = 0;  // after Clear Result at the end
    std::size_t clearedBoxBytes = 0;

    bool DescriptorsSteady() const;
    bool Passed() const;
};

// Runs `sends` Sends of four bytes on the dialog `d` drives, sampling every `sampleEvery`.
SoakResult RunSoak(DialogDriver& d, int sends, int sampleEvery);

void PrintSoakReport(const SoakResult& result);
