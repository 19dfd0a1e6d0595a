#pragma once

#include <sys/types.h>

namespace zelvo::bench {

struct MemoryPeaks {
    long mainKb = 0;   // VmHWM of the process itself
    long totalKb = 0;  // VmHWM of it and of every process below it, added up
    int processes = 0;
};

// Peak resident memory of a process and its descendants, read from /proc. Shared pages count
// in each process that maps them, so the total is an upper bound, the same for every program.
MemoryPeaks memoryPeaksOfTree(pid_t root);

}  // namespace zelvo::bench
