#include "process_memory.h"

#include <dirent.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace zelvo::bench {
namespace {

long peakKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return 0;
}

// The parent of a process, from /proc/PID/stat; the name may hold spaces and parentheses,
// so read after the last ')'.
pid_t parentOf(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    const std::string text((std::istreambuf_iterator<char>(stat)), {});
    const auto close = text.rfind(')');
    if (close == std::string::npos) return -1;
    char state = 0;
    int parent = -1;
    if (std::sscanf(text.c_str() + close + 1, " %c %d", &state, &parent) != 2) return -1;
    return parent;
}

}  // namespace

MemoryPeaks memoryPeaksOfTree(pid_t root) {
    std::multimap<pid_t, pid_t> children;
    if (DIR* proc = opendir("/proc")) {
        while (const dirent* entry = readdir(proc)) {
            char* end = nullptr;
            const long pid = std::strtol(entry->d_name, &end, 10);
            if (*end != '\0' || pid <= 0) continue;
            children.emplace(parentOf(pid_t(pid)), pid_t(pid));
        }
        closedir(proc);
    }
    MemoryPeaks peaks;
    peaks.mainKb = peakKb(root);
    std::vector<pid_t> pending{root};
    while (!pending.empty()) {
        const pid_t pid = pending.back();
        pending.pop_back();
        peaks.totalKb += peakKb(pid);
        ++peaks.processes;
        const auto [first, last] = children.equal_range(pid);
        for (auto it = first; it != last; ++it) pending.push_back(it->second);
    }
    return peaks;
}

}  // namespace zelvo::bench
