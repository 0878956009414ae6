#include "process_tree.h"

#include <algorithm>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace {

// The fields of /proc/ENTRY/stat after the command name, which is in
// parentheses and may hold spaces: the state first. ENTRY is a process ("PID")
// or one of its threads ("PID/task/TID"). Empty when it is gone.
std::string StatAfterName(const std::string& entry) {
    std::ifstream stat("/proc/" + entry + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return {};
    const auto close = line.rfind(')');
    return close == std::string::npos || close + 2 > line.size() ? std::string() : line.substr(close + 2);
}

// The parent of every process now running.
std::multimap<pid_t, pid_t> ChildrenByParent() {
    std::multimap<pid_t, pid_t> children;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        char state;
        pid_t parent;
        if (std::sscanf(StatAfterName(name).c_str(), "%c %d", &state, &parent) == 2)
            children.emplace(parent, static_cast<pid_t>(std::stol(name)));
    }
    return children;
}

// A zombie waiting for a parent that is not ours to reap counts as gone.
bool Alive(pid_t pid) {
    const std::string fields = StatAfterName(std::to_string(pid));
    return !fields.empty() && fields[0] != 'Z';
}

} // namespace

std::vector<pid_t> ProcessTree(pid_t root) {
    const auto children = ChildrenByParent();
    std::vector<pid_t> tree{root};
    for (std::size_t i = 0; i < tree.size(); ++i) {
        const auto [begin, end] = children.equal_range(tree[i]);
        for (auto it = begin; it != end; ++it)
            tree.push_back(it->second);
    }
    return tree;
}

std::vector<ProcessMemory> TreeMemory(pid_t root) {
    std::vector<ProcessMemory> result;
    for (pid_t pid : ProcessTree(root)) {
        const std::string folder = "/proc/" + std::to_string(pid);
        std::ifstream rollup(folder + "/smaps_rollup");
        std::string key;
        long value = -1;
        for (std::string line; std::getline(rollup, line);) {
            if (line.rfind("Pss:", 0) == 0) {
                value = std::stol(line.substr(4));
                break;
            }
        }
        if (value < 0)
            continue; // gone meanwhile
        std::string name;
        std::getline(std::ifstream(folder + "/comm"), name);
        result.push_back({pid, name, value});
    }
    return result;
}

long TotalPssKiB(const std::vector<ProcessMemory>& processes) {
    long total = 0;
    for (const auto& process : processes)
        total += process.pssKiB;
    return total;
}

std::optional<long> TreeDistinctKiB(pid_t root) {
    const long pageSize = sysconf(_SC_PAGESIZE);
    std::vector<std::uint64_t> frames;
    bool hidden = false;
    for (pid_t pid : ProcessTree(root)) {
        const std::string folder = "/proc/" + std::to_string(pid);
        const int pagemap = open((folder + "/pagemap").c_str(), O_RDONLY | O_CLOEXEC);
        if (pagemap < 0)
            continue; // gone meanwhile
        std::ifstream smaps(folder + "/smaps");
        unsigned long start = 0, end = 0;
        std::vector<std::uint64_t> entries(8192);
        for (std::string line; std::getline(smaps, line);) {
            // A mapping's first line is "START-END PERMISSIONS ...", its fields "Name: value".
            if (std::sscanf(line.c_str(), "%lx-%lx ", &start, &end) == 2 && line.find(':') > line.find(' '))
                continue;
            long rssKiB = 0;
            if (std::sscanf(line.c_str(), "Rss: %ld", &rssKiB) != 1 || rssKiB == 0)
                continue;
            // Read in chunks until as many resident pages as Rss says were seen.
            long wanted = rssKiB * 1024 / pageSize;
            for (unsigned long page = start / pageSize; page < end / pageSize && wanted > 0;) {
                const std::size_t count = std::min<std::size_t>(entries.size(), end / pageSize - page);
                const ssize_t got = pread(pagemap, entries.data(), count * sizeof entries[0],
                                          static_cast<off_t>(page * sizeof entries[0]));
                if (got <= 0)
                    break;
                for (std::size_t i = 0; i < static_cast<std::size_t>(got) / sizeof entries[0]; ++i) {
                    if (!(entries[i] >> 63 & 1))
                        continue; // not resident (or swapped out)
                    --wanted;
                    const std::uint64_t frame = entries[i] & ((std::uint64_t{1} << 55) - 1);
                    if (frame == 0)
                        hidden = true;
                    else
                        frames.push_back(frame);
                }
                page += static_cast<unsigned long>(got) / sizeof entries[0];
            }
        }
        close(pagemap);
    }
    if (hidden || frames.empty())
        return std::nullopt;
    std::sort(frames.begin(), frames.end());
    const auto distinct = std::unique(frames.begin(), frames.end()) - frames.begin();
    return static_cast<long>(distinct) * (pageSize / 1024);
}

void EndProcessesNaming(const std::string& text) {
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::ifstream file(entry.path() / "cmdline");
        const std::string command((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        if (command.find(text) != std::string::npos)
            kill(static_cast<pid_t>(std::stol(name)), SIGKILL);
    }
}

int ForeignWebKitProcesses(pid_t root) {
    const std::vector<pid_t> tree = ProcessTree(root);
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::string command;
        std::getline(std::ifstream(entry.path() / "comm"), command);
        const pid_t pid = static_cast<pid_t>(std::stol(name));
        if (command.rfind("WebKit", 0) == 0 && std::find(tree.begin(), tree.end(), pid) == tree.end())
            ++count;
    }
    return count;
}

namespace {

// User and system time of a process or thread (as StatAfterName takes it), in seconds.
std::optional<double> CpuSecondsOf(const std::string& entry) {
    // After the name: state, then fields 4 to 13, then utime and stime.
    std::istringstream fields(StatAfterName(entry));
    std::string field;
    for (int i = 3; i <= 13 && fields >> field; ++i) {
    }
    unsigned long long user = 0, system = 0;
    if (!(fields >> user >> system))
        return std::nullopt;
    return static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

} // namespace

std::map<pid_t, ProcessCpu> TreeCpu(pid_t root) {
    std::map<pid_t, ProcessCpu> processes;
    for (pid_t pid : ProcessTree(root)) {
        const auto seconds = CpuSecondsOf(std::to_string(pid));
        if (!seconds)
            continue;
        std::string name;
        std::getline(std::ifstream("/proc/" + std::to_string(pid) + "/comm"), name);
        processes[pid] = {name, *seconds};
    }
    return processes;
}

double MainThreadCpuSeconds(pid_t pid) {
    return CpuSecondsOf(std::to_string(pid) + "/task/" + std::to_string(pid)).value_or(0);
}

double TreeCpuSeconds(pid_t root) {
    double seconds = 0;
    for (const auto& [pid, process] : TreeCpu(root))
        seconds += process.seconds;
    return seconds;
}

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const std::vector<std::string>& environment, bool talk) {
    int input[2], output[2];
    if (pipe2(input, O_CLOEXEC) != 0 || pipe2(output, O_CLOEXEC) != 0)
        throw std::runtime_error("no pipes");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (talk) {
        posix_spawn_file_actions_adddup2(&actions, input[0], 0);
        posix_spawn_file_actions_adddup2(&actions, output[1], 1);
    } else {
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    }
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const auto& variable : environment)
        envp.push_back(const_cast<char*>(variable.c_str()));
    envp.push_back(nullptr);
    const int failed = posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(input[0]);
    close(output[1]);
    m_input = input[1];
    m_output = output[0];
    if (failed != 0)
        throw std::runtime_error("cannot start " + program);
}

ChildProcess::~ChildProcess() {
    Stop();
    close(m_input);
    close(m_output);
}

void ChildProcess::Send(const std::string& line) {
    const std::string data = line + "\n";
    [[maybe_unused]] const ssize_t written = write(m_input, data.data(), data.size());
}

std::optional<std::string> ChildProcess::ReadLine(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (const auto end = m_pending.find('\n'); end != std::string::npos) {
            std::string line = m_pending.substr(0, end);
            m_pending.erase(0, end + 1);
            return line;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return std::nullopt;
        pollfd descriptor{m_output, POLLIN, 0};
        if (poll(&descriptor, 1, static_cast<int>(left.count())) <= 0)
            continue;
        char buffer[4096];
        const ssize_t n = read(m_output, buffer, sizeof buffer);
        if (n <= 0)
            return std::nullopt;
        m_pending.append(buffer, static_cast<std::size_t>(n));
    }
}

void ChildProcess::Stop() {
    if (m_pid <= 0)
        return;
    const std::vector<pid_t> tree = ProcessTree(m_pid);
    kill(m_pid, SIGTERM);
    waitpid(m_pid, nullptr, 0);
    // The helpers notice their parent is gone and end; any that lingers is ended.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (pid_t pid : tree) {
        while (pid != m_pid && Alive(pid) && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (pid != m_pid && Alive(pid))
            kill(pid, SIGKILL);
    }
    m_pid = -1;
}
