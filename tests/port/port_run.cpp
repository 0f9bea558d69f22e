#include "port_run.h"

#include "config_home.h"
#include "process_tools.h"

#include <fcntl.h>
#include <grp.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

constexpr uid_t kNobody = 65534;

std::string Contents(const fs::path& file)
{
    std::ifstream in(file);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs in the forked child: only async-signal-safe calls up to the exec.
int Exec(const std::vector<char*>& argv, const fs::path& out, const fs::path& err, const PortRunOptions& options)
{
    const int outFd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    const int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (outFd < 0 || errFd < 0 || dup2(outFd, STDOUT_FILENO) < 0 || dup2(errFd, STDERR_FILENO) < 0)
        return 126;
    if (options.asNobody && (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0))
        return 126;
    execv(argv[0], argv.data());
    return 127;
}

}  // namespace

PortRun RunPort(const std::vector<std::string>& arguments, const PortRunOptions& options)
{
    const fs::path folder = MakeTemporaryFolder();
    fs::permissions(folder, fs::perms::all);
    // Another user may not enter the folders above the build tree (a home folder of mode 0700 or
    // 0750): that user runs a copy from this run's own folder, which anyone may enter.
    fs::path program = VORNIKAL_PORT;
    if (options.asNobody) {
        fs::copy_file(program, folder / program.filename());
        program = folder / program.filename();
        fs::permissions(program, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec |
                                     fs::perms::group_read | fs::perms::others_read);
    }
    std::vector<std::string> words{program.string()};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    const ScopedEnvironment root("VORNIKAL_PORT_ROOT",
                                 options.root ? std::optional<std::string>(options.root->string()) : std::nullopt);
    PortRun run;
    const auto code = ExitCodeInChild([&] { return Exec(argv, folder / "out", folder / "err", options); },
                                      std::chrono::seconds(20));
    run.exitCode = code.value_or(-1);
    run.out = Contents(folder / "out");
    run.err = Contents(folder / "err");
    fs::remove_all(folder);
    return run;
}
