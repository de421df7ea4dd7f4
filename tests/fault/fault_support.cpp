#include "tests/fault/fault_support.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr uid_t kUnprivileged = 65534;

std::string ReadAndRemove(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    ::unlink(path.c_str());
    return ss.str();
}

int MakeCaptureFile(std::string& path) {
    path = (std::filesystem::temp_directory_path() / "gridwell-cli-out-XXXXXX").string();
    return ::mkstemp(path.data());
}

}  // namespace

ChildResult WaitForChild(pid_t pid) {
    ChildResult result;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return result;
    }
    if (WIFEXITED(status)) {
        result.exited = true;
        result.exitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        result.signal = WTERMSIG(status);
    }
    return result;
}

ChildResult RunInChild(const std::function<int()>& body) {
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        int code = 99;
        try {
            code = body();
        } catch (...) {
            code = 98;
        }
        std::fflush(nullptr);
        ::_exit(code);
    }
    if (pid < 0)
        return ChildResult{};
    return WaitForChild(pid);
}

ChildRun RunCollectingMessages(const std::function<bool()>& setup, const std::function<UINT()>& job) {
    int fds[2];
    if (::pipe(fds) != 0)
        return {};
    const ChildResult child = RunInChild([&] {
        ::close(fds[0]);
        if (!setup())
            return 2;
        MessageRecorder recorder;
        std::vector<UINT> report{job()};
        for (const UINT id : recorder.Ids())
            report.push_back(id);
        const ssize_t bytes = static_cast<ssize_t>(report.size() * sizeof(UINT));
        return ::write(fds[1], report.data(), static_cast<size_t>(bytes)) == bytes ? 0 : 3;
    });
    ::close(fds[1]);
    std::vector<UINT> report(256);
    const ssize_t got = ::read(fds[0], report.data(), report.size() * sizeof(UINT));
    ::close(fds[0]);
    ChildRun run;
    if (!child.exited || child.exitCode != 0 || got < static_cast<ssize_t>(sizeof(UINT)))
        return run;
    report.resize(static_cast<size_t>(got) / sizeof(UINT));
    run.ran = true;
    run.outcome = report.front();
    run.messages.assign(report.begin() + 1, report.end());
    return run;
}

CliResult RunCli(const std::string& dir, const std::vector<std::string>& args) {
    CliResult result;
    std::string outPath, errPath;
    const int outFd = MakeCaptureFile(outPath);
    const int errFd = MakeCaptureFile(errPath);
    std::vector<std::string> argStrings{GRIDWELL_CLI_PATH};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argStrings)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        // Only async-signal-safe calls between fork and exec: the test process
        // may have other threads.
        const int devNull = ::open("/dev/null", O_RDONLY);
        if (::chdir(dir.c_str()) != 0 || devNull < 0)
            ::_exit(127);
        ::dup2(devNull, 0);
        ::dup2(outFd, 1);
        ::dup2(errFd, 2);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(outFd);
    ::close(errFd);
    const ChildResult child = WaitForChild(pid);
    result.exitCode = child.exited ? child.exitCode : 128 + child.signal;
    result.out = ReadAndRemove(outPath);
    result.err = ReadAndRemove(errPath);
    return result;
}

bool CanDropPrivileges() {
    if (::geteuid() != 0)
        return true;  // not root: modes already apply to us
    const ChildResult r = RunInChild([] { return DropPrivileges() ? 0 : 1; });
    return r.exited && r.exitCode == 0;
}

bool DropPrivileges() {
    if (::geteuid() != 0)
        return true;
    return ::setgroups(0, nullptr) == 0 && ::setresgid(kUnprivileged, kUnprivileged, kUnprivileged) == 0 &&
           ::setresuid(kUnprivileged, kUnprivileged, kUnprivileged) == 0 && ::geteuid() == kUnprivileged;
}

void MakeOwnedByUnprivileged(const std::string& dir) {
    if (::geteuid() != 0)
        return;
    ::lchown(dir.c_str(), kUnprivileged, kUnprivileged);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir))
        ::lchown(entry.path().c_str(), kUnprivileged, kUnprivileged);
}

std::string DistinctWords(size_t count, size_t length) {
    // k -> k * multiplier mod 26^m is a bijection (the multiplier is odd and
    // not a multiple of 13), so the words are distinct while count <= 26^m;
    // letters past the first m repeat the first ones.
    const size_t m = length < 12 ? length : 12;
    unsigned __int128 modulus = 1;
    for (size_t i = 0; i < m; ++i)
        modulus *= 26;
    const unsigned __int128 multiplier = 2654435761u;
    std::string text;
    text.reserve(count * (length + 1));
    std::string word(length, 'A');
    for (size_t k = 0; k < count; ++k) {
        unsigned __int128 v = (static_cast<unsigned __int128>(k) * multiplier) % modulus;
        for (size_t i = 0; i < m; ++i) {
            word[i] = static_cast<char>('A' + static_cast<int>(v % 26));
            v /= 26;
        }
        for (size_t i = m; i < length; ++i)
            word[i] = word[i % m];
        text += word;
        text += '\n';
    }
    return text;
}

ino_t InodeOf(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

std::string IdsText(const std::vector<UINT>& ids) {
    std::string text;
    for (const UINT id : ids)
        text += (text.empty() ? "" : " ") + std::to_string(id);
    return "[" + text + "]";
}
