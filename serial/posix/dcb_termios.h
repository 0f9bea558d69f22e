// How the fields of a DCB and the flags of a termios record stand for each other.
#pragma once

#include "win32_comm.h"

#include <optional>

#include <termios.h>

// ERROR_SUCCESS when the driver can apply the record; otherwise why not.
DWORD CheckDcb(const DCB& dcb);
// Framing, flow control and the flow characters from the DCB; everything else the Windows driver
// never does (line editing, echo, signals, CR/LF mapping, output processing) off. Not the rate.
void ApplyDcbToTermios(const DCB& dcb, termios& settings);
// The DCB fields that termios holds: framing, flow control, flow characters. Not the rate or the
// modem lines.
void DescribeTermiosInDcb(const termios& settings, DCB& dcb);
// The Bnnn constant of a rate, when it has one.
std::optional<speed_t> StandardSpeed(DWORD rate);
// The rate of a Bnnn constant; nothing for B0 and for a free rate (BOTHER).
std::optional<DWORD> StandardRate(speed_t speed);
