#include "port_run.h"

#include "config_home.h"
#include "process_tools.h"
#include "program_command.h"

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
    std::vector<std::string> words{VORNIKAL_PORT};
    words.insert(words.end(), arguments.begin(), arguments.end());
    words = ProgramCommand(words);
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
