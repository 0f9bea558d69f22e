// Standard error (the descriptor, so the comm trace's writes too) into a file while the object
// lives; Lines() gives what was written.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

class StderrCapture {
public:
    StderrCapture();
    ~StderrCapture();
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    // Ends the capture and gives its lines without their line breaks.
    std::vector<std::string> Lines();

private:
    void Stop();

    std::FILE* m_file;
    int m_saved;
};
