#pragma once

#include <sys/types.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

// A process and everything it started, as /proc shows them now: WebKit's web
// and network processes are children of the program that made the views.
std::vector<pid_t> ProcessTree(pid_t root);

struct ProcessMemory {
    pid_t pid;
    std::string name; // as /proc/PID/comm has it
    long pssKiB;      // proportional set size: shared pages split among their users
};

// The PSS of each process of the tree, from /proc/PID/smaps_rollup.
std::vector<ProcessMemory> TreeMemory(pid_t root);
long TotalPssKiB(const std::vector<ProcessMemory>& processes);

// The physical memory resident in the tree, each page counted once however
// many of its processes map it: the distinct page frames that
// /proc/PID/pagemap shows behind every mapping with resident pages. Unlike
// PSS it does not depend on what else runs on the machine. Nothing when the
// page frames cannot be read (they read as zero without CAP_SYS_ADMIN).
std::optional<long> TreeDistinctKiB(pid_t root);

// Ends every process whose command line names the given text, such as a
// profile folder: helpers a program started that left its tree.
void EndProcessesNaming(const std::string& text);

// WebKit processes running on the machine outside the tree. They share the
// engine's libraries with the tree's, which lowers the tree's PSS.
int ForeignWebKitProcesses(pid_t root);

// Processor time the tree's processes have used so far, user and system, in
// seconds (of those still running).
double TreeCpuSeconds(pid_t root);

// The same by process: its name and the seconds it has used so far.
struct ProcessCpu {
    std::string name;
    double seconds = 0;
};
std::map<pid_t, ProcessCpu> TreeCpu(pid_t root);

// Processor time the process's main thread alone has used so far, in seconds.
double MainThreadCpuSeconds(pid_t pid);

// A program started with an environment of its own. With talk set its
// standard input and output are pipes the benchmark uses; otherwise they are
// /dev/null, so nothing it writes can ever fill a pipe and stop it.
class ChildProcess {
public:
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                 const std::vector<std::string>& environment, bool talk);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t Pid() const { return m_pid; }
    void Send(const std::string& line);
    // A line of its output, waiting up to timeout for it.
    std::optional<std::string> ReadLine(std::chrono::milliseconds timeout);
    // Ends it and every process it started, and waits until all are gone.
    void Stop();

private:
    pid_t m_pid = -1;
    int m_input = -1;
    int m_output = -1;
    std::string m_pending;
};
