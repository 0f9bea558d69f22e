#include "peer_channel.h"

#include <cstdio>
#include <sstream>
#include <stdexcept>

namespace peer {

namespace {

std::string Request(const std::string& request)
{
    std::printf("@peer %s\n", request.c_str());
    std::fflush(stdout);
    // The peer answers every request, and closes the stream if it goes: this never blocks for good.
    char buffer[8192];
    if (std::fgets(buffer, sizeof buffer, stdin) == nullptr)
        throw std::runtime_error("the pty peer did not answer: " + request);
    std::string answer(buffer);
    while (!answer.empty() && (answer.back() == '\n' || answer.back() == '\r'))
        answer.pop_back();
    return answer;
}

Bytes FromHex(const std::string& hex)
{
    Bytes bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

void ExpectOk(const std::string& request)
{
    const std::string answer = Request(request);
    if (answer != "ok")
        throw std::runtime_error("the pty peer refused \"" + request + "\": " + answer);
}

}  // namespace

std::string Hex(const Bytes& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (std::uint8_t byte : bytes) {
        hex += digits[byte >> 4];
        hex += digits[byte & 0x0F];
    }
    return hex;
}

void Arm(const Bytes& answer)
{
    ExpectOk("arm " + Hex(answer));
}

void Send(const Bytes& bytes)
{
    ExpectOk("send " + Hex(bytes));
}

Bytes Seen(std::size_t count)
{
    return FromHex(Request("seen " + std::to_string(count)));
}

LineSettings Line()
{
    std::istringstream fields(Request("line"));
    LineSettings line;
    std::string field;
    while (fields >> field) {
        const std::size_t equals = field.find('=');
        const std::string key = field.substr(0, equals);
        const std::string value = field.substr(equals + 1);
        if (key == "rate")
            line.rate = static_cast<unsigned>(std::stoul(value));
        else if (key == "stop")
            line.stopBits = std::stoi(value);
        else if (key == "crtscts")
            line.rtsCtsFlow = value == "1";
    }
    return line;
}

void Sentinel()
{
    ExpectOk("sentinel");
}

bool Shot(const std::string& name, const RECT& area)
{
    std::ostringstream request;
    request << "shot " << name << ' ' << area.left << ' ' << area.top << ' ' << (area.right - area.left) << ' '
            << (area.bottom - area.top);
    return Request(request.str()) == "ok";
}

}  // namespace peer
