#include "stderr_capture.h"

#include <cstring>

#include <unistd.h>

StderrCapture::StderrCapture() : m_file(std::tmpfile()), m_saved(dup(STDERR_FILENO))
{
    dup2(fileno(m_file), STDERR_FILENO);
}

StderrCapture::~StderrCapture()
{
    Stop();
    std::fclose(m_file);
}

std::vector<std::string> StderrCapture::Lines()
{
    Stop();
    std::rewind(m_file);
    std::vector<std::string> lines;
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, m_file))
        lines.emplace_back(buffer, std::strcspn(buffer, "\n"));
    return lines;
}

void StderrCapture::Stop()
{
    if (m_saved < 0)
        return;
    dup2(m_saved, STDERR_FILENO);
    close(m_saved);
    m_saved = -1;
}
