// Line rates in bits per second through the kernel's own termios records, which carry any rate,
// not only those with a Bnnn constant: termios2 where the kernel has it, else the plain record on
// architectures whose plain record has speed fields (powerpc has no termios2 and needs none). Kept
// apart because <asm/termbits.h> clashes with <termios.h>.
#pragma once

#include <cstdint>
#include <optional>

enum class RateRecord {
    Termios2,     // TCGETS2 and TCSETS2
    PlainSpeeds,  // TCGETS and TCSETS, whose record has speed fields on this architecture
    CodesOnly,    // the plain record without speed fields: only the rates of the Bnnn codes
};

struct RecordRate {
    RateRecord record;                  // the record that answered
    std::optional<std::uint32_t> rate;  // the output rate; nothing from a record of codes only
};

// The rate through the richest record the kernel answers; nothing (errno set) when it fails.
std::optional<RecordRate> ReadRecordRate(int fd);
// Sets input and output to `rate` as a free rate (BOTHER) through `record`; false (errno set)
// when refused, and always for a record of codes only.
bool SetRecordFreeRate(int fd, RateRecord record, std::uint32_t rate);
