// Helpers for the fault tests: child processes (to kill, to limit, to run
// with fewer rights), the command-line tool as a second instance, and word
// lists of a chosen size.
#pragma once

#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

#include "tests/test_support.h"

// How a child process ended.
struct ChildResult {
    bool exited = false;
    int exitCode = -1;
    int signal = 0;  // the signal that ended it, when it did not exit
};

// Runs `body` in a forked child, which exits with body's result (or dies);
// waits for it and reports how it ended.
ChildResult RunInChild(const std::function<int()>& body);

// What a job run in a child process reported.
struct ChildRun {
    bool ran = false;            // the child set up and reported back
    UINT outcome = 0;            // the job's result, normally its last message id
    std::vector<UINT> messages;  // every message it showed, in order
};

// Runs `setup` and then `job` in a forked child with a MessageRecorder, and
// brings back the job's result and the messages shown. `setup` (limits,
// fewer rights) returning false fails the run.
ChildRun RunCollectingMessages(const std::function<bool()>& setup, const std::function<UINT()>& job);

// Waits for a child started elsewhere.
ChildResult WaitForChild(pid_t pid);

// The result of running gridwell-cli.
struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs the built gridwell-cli with `args` in directory `dir`.
CliResult RunCli(const std::string& dir, const std::vector<std::string>& args);

// True when this process can make a child drop to an unprivileged user, which
// the permission tests need when they run as root (root ignores modes).
bool CanDropPrivileges();
// In a child: gives up root for the unprivileged user that owns the scratch
// directory after MakeOwnedByUnprivileged; returns false if that fails.
bool DropPrivileges();
// Gives the unprivileged user the directory and everything in it.
void MakeOwnedByUnprivileged(const std::string& dir);

// `count` distinct words of `length` letters, in a scrambled order, one per
// line; the same count and length always give the same list.
std::string DistinctWords(size_t count, size_t length);

// The inode number of a path (not following a final symbolic link); 0 when
// it does not exist.
ino_t InodeOf(const std::string& path);

// Messages shown, as a readable list for assertion failures.
std::string IdsText(const std::vector<UINT>& ids);
