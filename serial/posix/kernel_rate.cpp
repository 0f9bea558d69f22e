#include "kernel_rate.h"

#include "termios2_ioctl.h"

#include <cerrno>

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace {

// The generic plain record has no speed fields; powerpc's has.
template <typename Record>
constexpr bool kHasSpeedFields = requires(Record record) { record.c_ospeed; };

template <typename Record>
void PutFreeRate(Record& settings, std::uint32_t rate)
{
    // An input code of zero makes input follow the output rate.
    settings.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    settings.c_cflag |= BOTHER;
    settings.c_ospeed = rate;
    settings.c_ispeed = rate;
}

template <typename Plain>
std::optional<RecordRate> ReadPlainRate(int fd)
{
    if constexpr (kHasSpeedFields<Plain>) {
        Plain settings{};
        if (ioctl(fd, TCGETS, &settings) != 0)
            return std::nullopt;
        return RecordRate{RateRecord::PlainSpeeds, settings.c_ospeed};
    } else {
        // The caller reads the code with tcgetattr, which the line answered already.
        return RecordRate{RateRecord::CodesOnly, std::nullopt};
    }
}

template <typename Plain>
bool SetPlainFreeRate(int fd, std::uint32_t rate)
{
    if constexpr (kHasSpeedFields<Plain>) {
        Plain settings{};
        if (ioctl(fd, TCGETS, &settings) != 0)
            return false;
        PutFreeRate(settings, rate);
        return ioctl(fd, TCSETS, &settings) == 0;
    } else {
        errno = EINVAL;
        return false;
    }
}

#ifdef TCGETS2
// qemu-user answers an ioctl it does not translate with ENOSYS; a kernel without it, with ENOTTY
// or EINVAL. Any other failure is the line's own.
bool Termios2Missing(int error)
{
    return error == ENOSYS || error == ENOTTY || error == EINVAL;
}
#endif

}  // namespace

std::optional<RecordRate> ReadRecordRate(int fd)
{
#ifdef TCGETS2
    termios2 settings{};
    if (Termios2Ioctl(fd, TCGETS2, &settings) == 0)
        return RecordRate{RateRecord::Termios2, settings.c_ospeed};
    if (!Termios2Missing(errno))
        return std::nullopt;
#endif
    return ReadPlainRate<termios>(fd);
}

bool SetRecordFreeRate(int fd, RateRecord record, std::uint32_t rate)
{
#ifdef TCGETS2
    if (record == RateRecord::Termios2) {
        termios2 settings{};
        if (Termios2Ioctl(fd, TCGETS2, &settings) != 0)
            return false;
        PutFreeRate(settings, rate);
        return Termios2Ioctl(fd, TCSETS2, &settings) == 0;
    }
#endif
    (void)record;  // the plain record is all there is here
    return SetPlainFreeRate<termios>(fd, rate);
}
