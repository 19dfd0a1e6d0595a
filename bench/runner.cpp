// Runs every benchmark of the program and prints one table: each figure's median over repeated
// runs, its floor measured in the same run, the ratio, and whether the target holds.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "stats.h"

extern char** environ;

namespace {

using zelvo::bench::median;

std::filesystem::path ownFolder() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

long long monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

std::map<std::string, std::string> parseFields(const std::string& text) {
    std::map<std::string, std::string> fields;
    std::istringstream words(text);
    std::string word;
    while (words >> word) {
        const auto equals = word.find('=');
        if (equals != std::string::npos) fields[word.substr(0, equals)] = word.substr(equals + 1);
    }
    return fields;
}

// Processes whose parent is this runner: its own children and, as it is a subreaper, any
// helper left behind by a program that has ended.
std::vector<pid_t> ownChildren() {
    std::vector<pid_t> found;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        FILE* stat = std::fopen((entry.path() / "stat").c_str(), "r");
        if (!stat) continue;
        char buffer[512] = {};
        const size_t size = std::fread(buffer, 1, sizeof buffer - 1, stat);
        std::fclose(stat);
        const char* close = std::strrchr(buffer, ')');
        if (size == 0 || !close) continue;
        char state = 0;
        int parent = 0;
        if (std::sscanf(close + 1, " %c %d", &state, &parent) == 2 && parent == ::getpid())
            found.push_back(static_cast<pid_t>(std::stoi(name)));
    }
    return found;
}

// Waits until every process a program left behind has ended, so that the next run starts on
// a quiet machine; after 10 s the rest are killed.
void reapAll() {
    const long long deadline = monotonicNs() + 10'000'000'000LL;
    for (;;) {
        const pid_t pid = ::waitpid(-1, nullptr, WNOHANG);
        if (pid < 0 && errno == ECHILD) return;
        if (pid > 0) continue;
        if (monotonicNs() > deadline) {
            for (const pid_t child : ownChildren()) ::kill(child, SIGKILL);
        }
        ::usleep(5'000);
    }
}

std::vector<std::string> environmentWith(const std::map<std::string, std::string>& extra) {
    std::vector<std::string> result;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        const std::string name = text.substr(0, text.find('='));
        if (!extra.count(name)) result.push_back(text);
    }
    for (const auto& [name, value] : extra) result.push_back(name + '=' + value);
    return result;
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
    std::vector<char*> result;
    for (std::string& text : texts) result.push_back(text.data());
    result.push_back(nullptr);
    return result;
}

// Starts a program with its standard output going into a pipe and its errors into the log.
// Returns the child and the reading end.
std::pair<pid_t, int> spawn(const std::filesystem::path& program,
                            std::vector<std::string> arguments,
                            std::map<std::string, std::string> environment, const std::string& log,
                            long long* startNs) {
    int channel[2];
    if (::pipe2(channel, O_CLOEXEC) != 0) return {-1, -1};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, channel[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, log.c_str(),
                                     O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    environment["ZELVO_BENCH_REPORT_FD"] = "1";
    std::vector<std::string> env = environmentWith(environment);
    arguments.insert(arguments.begin(), program.string());
    std::vector<char*> argv = pointers(arguments);
    std::vector<char*> envp = pointers(env);
    pid_t pid = -1;
    if (startNs) *startNs = monotonicNs();
    const int error =
        posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(channel[1]);
    if (error != 0) {
        ::close(channel[0]);
        return {-1, -1};
    }
    return {pid, channel[0]};
}

// Everything the child writes until it closes its output or the time is up.
std::string readAll(int fd, int timeoutMs) {
    std::string text;
    const long long deadline = monotonicNs() + timeoutMs * 1'000'000LL;
    for (;;) {
        const long long left = (deadline - monotonicNs()) / 1'000'000;
        if (left <= 0) break;
        pollfd poller{fd, POLLIN, 0};
        if (::poll(&poller, 1, static_cast<int>(left)) <= 0) break;
        char buffer[4096];
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got <= 0) break;
        text.append(buffer, static_cast<size_t>(got));
    }
    ::close(fd);
    return text;
}

struct StartRun {
    double ms = 0;  // process start to the window shown and idle
    double mainMb = 0;
};

double kbToMb(const std::string& kb) {
    return std::stod(kb) * 1024.0 / 1e6;
}

// What a program does once its window is shown and idle, before its memory is read.
struct Scenario {
    int idleMs = 0;        // stays idle this long
    const char* tab = "";  // clicks this tab first
};

std::optional<StartRun> runStart(const std::filesystem::path& program, const Scenario& scenario,
                                 const std::string& log) {
    // On the X display scripts/bench.sh started, which offers OpenGL as a desktop does: a
    // program that prepares OpenGL at start pays for it here, as it would there.
    const std::map<std::string, std::string> environment = {
        {"QT_QPA_PLATFORM", "xcb"},
        {"ZELVO_BENCH_IDLE_MS", std::to_string(scenario.idleMs)},
        {"ZELVO_BENCH_CLICK_TAB", scenario.tab}};
    long long startNs = 0;
    const auto [pid, output] = spawn(program, {}, environment, log, &startNs);
    if (pid < 0) return std::nullopt;
    // The probe leaves with _exit right after its report, so the pipe closes then; a helper
    // process never holds it (they close inherited descriptors).
    const std::string report = readAll(output, 60'000);
    ::kill(pid, SIGKILL);  // only does something when the program hung
    reapAll();
    auto fields = parseFields(report);
    if (!fields.count("idle_ns") || fields["idle_ns"] == "0") {
        std::fprintf(stderr, "%s gave no report: %s\n", program.c_str(), report.c_str());
        return std::nullopt;
    }
    return StartRun{(std::stod(fields["idle_ns"]) - double(startNs)) / 1e6,
                    kbToMb(fields["main_kb"])};
}

struct Row {
    std::string figure;
    std::string value;
    std::string floor;
    std::string ratio;
    std::string target;
    std::optional<bool> holds;  // none for a row shown for reference
};

std::string format(const char* pattern, double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, pattern, value);
    return buffer;
}

}  // namespace

int main(int argc, char* argv[]) {
    int runs = 15;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
    }
    if (!std::getenv("DISPLAY")) {
        std::fprintf(stderr, "no X display: run scripts/bench.sh, which starts one\n");
        return 2;
    }
    // Orphaned helpers come back to us, so each run can wait for them to end.
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
    const std::filesystem::path folder = ownFolder();
    const std::string log = (folder / "bench.log").string();
    std::filesystem::remove(log);
    // The program reads set.ini beside itself: start-up is measured as on a first start.
    std::filesystem::remove(folder / "set.ini");

    // Each program in the scenario its figures need: the window and the Chinese label left
    // idle for 5 s after start-up, and the window with its notices tab clicked at start-up.
    struct Program {
        const char* name;
        Scenario scenario;
        std::vector<double> ms{}, mainMb{};
    };
    constexpr int kIdleMs = 5000;
    Program programs[] = {{"zelvo-bench-program", {kIdleMs}},
                          {"zelvo-bench-chinese-label", {kIdleMs}},
                          {"zelvo-bench-program", {kIdleMs, "信息公告"}}};
    constexpr int kPrograms = int(std::size(programs));
    std::fprintf(stderr, "start-up: %d runs of each program\n", runs);
    for (int run = 0; run <= runs; ++run) {
        // Rotate the order so that no program always follows the same one.
        for (int k = 0; k < kPrograms; ++k) {
            Program& program = programs[(run + k) % kPrograms];
            const auto result = runStart(folder / program.name, program.scenario, log);
            if (!result) return 2;
            if (run == 0) continue;  // warm-up: disk caches and font caches
            program.ms.push_back(result->ms);
            program.mainMb.push_back(result->mainMb);
        }
    }

    std::fprintf(stderr, "handlers\n");
    const auto [handlerPid, handlerOutput] =
        spawn(folder / "zelvo-bench-handlers", {std::to_string(std::max(runs, 15))},
              {{"QT_QPA_PLATFORM", "offscreen"}}, log, nullptr);
    if (handlerPid < 0) return 2;
    auto handler = parseFields(readAll(handlerOutput, 600'000));
    int status = 0;
    ::waitpid(handlerPid, &status, 0);
    reapAll();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || !handler.count("send")) {
        std::fprintf(stderr, "zelvo-bench-handlers failed; see %s\n", log.c_str());
        return 2;
    }
    const auto ms = [&](const char* key) { return std::stod(handler[key]) / 1e6; };
    const auto mb = [&](const char* key) { return std::stod(handler[key]) / 1e6; };

    const Program& idle = programs[0];
    const Program& label = programs[1];
    const Program& shown = programs[2];
    std::vector<Row> rows;
    {
        const double value = median(idle.ms), floor = median(label.ms);
        rows.push_back({"Start to window shown and idle", format("%.0f ms", value),
                        format("%.0f ms (Chinese label)", floor), format("%.2f", value / floor),
                        "≤ 1.5 × floor", value <= 1.5 * floor});
    }
    for (const auto& [name, ours, limit, target] :
         {std::tuple{"Peak memory 5 s after start-up", &idle, 1.3, "≤ 1.3 × floor"},
          std::tuple{"Peak memory 5 s after start-up, notices page shown", &shown, 1.5,
                     "≤ 1.5 × floor"}}) {
        const double value = median(ours->mainMb), floor = median(label.mainMb);
        rows.push_back({name, format("%.0f MB", value), format("%.0f MB (Chinese label)", floor),
                        format("%.2f", value / floor), target, value <= limit * floor});
    }
    {
        const double value = ms("import"), floor = ms("import_floor");
        rows.push_back(
            {"Import 32,767-line phone book (" + format("%.2f MB", mb("phone_book_bytes")) + ")",
             format("%.1f ms", value), format("%.2f ms (read file)", floor),
             format("%.0f", value / floor), "≤ 100 ms", value <= 100});
    }
    {
        const double value = ms("large_import"), floor = ms("large_import_floor");
        const double extra = std::stod(handler["large_extra_kb"]) * 1024 / 1e6;
        rows.push_back({"Import " + format("%.0f MB", mb("large_bytes")) +
                            " phone book (32,767 kept, rest counted)",
                        format("%.0f ms", value), format("%.0f ms (read + decode)", floor),
                        format("%.2f", value / floor), "≤ 1.5 × floor", value <= 1.5 * floor});
        rows.push_back({"Its peak memory over the window's", format("%+.0f MB", extra), "—", "—",
                        "≤ 64 MB", extra <= 64});
    }
    {
        const double value = ms("save"), floor = ms("save_floor");
        rows.push_back({"writeSettings, 32,767 entries", format("%.2f ms", value),
                        format("%.2f ms (write, fsync, rename)", floor),
                        format("%.2f", value / floor), "≤ 3 × floor, ≤ 50 ms",
                        value <= 3 * floor && value <= 50});
    }
    {
        const double value = ms("load"), floor = ms("load_floor");
        rows.push_back({"loadSettings, 32,767 entries", format("%.2f ms", value),
                        format("%.2f ms (read + decode)", floor), format("%.2f", value / floor),
                        "≤ 2 × floor, ≤ 50 ms", value <= 2 * floor && value <= 50});
    }
    {
        const double value = ms("walk");
        rows.push_back({"Selection walk, 32,767 entries, 10 picked", format("%.3f ms", value), "—",
                        "—", "≤ 5 ms", value <= 5});
    }
    {
        const double value = ms("send"), floor = ms("send_floor");
        rows.push_back({"Send to the local SMTP server", format("%.1f ms", value),
                        format("%.1f ms (curl)", floor), format("%.2f", value / floor),
                        "≤ 1.2 × floor", value <= 1.2 * floor});
    }
    {
        const double value = ms("send_implicit"), floor = ms("send_implicit_floor");
        rows.push_back({"Send over implicit TLS (SMTPS)", format("%.1f ms", value),
                        format("%.1f ms (curl)", floor), format("%.2f", value / floor),
                        "≤ 1.2 × floor", value <= 1.2 * floor});
        const double fallback = ms("send_fallback");
        rows.push_back({"Send whose STARTTLS port is refused, then over SMTPS",
                        format("%.1f ms", fallback), format("%.1f ms (the row above)", value),
                        format("%+.1f ms", fallback - value), "≤ floor + 50 ms",
                        fallback <= value + 50});
    }
    {
        const double value = ms("send_process"), floor = ms("send_process_floor");
        rows.push_back({"zelvo-sms-send process, one message", format("%.1f ms", value),
                        format("%.1f ms (Qt Core + libcurl)", floor), format("%.2f", value / floor),
                        "≤ 1.2 × floor", value <= 1.2 * floor});
        const double curl = ms("send_process_curl");
        rows.push_back({"`curl` process, the same message (reference)", format("%.1f ms", curl),
                        "—", "—", "—", std::nullopt});
    }

    std::printf(
        "Medians of %d runs (start-up, memory) and %d runs (handlers); set.ini of the "
        "full list %s bytes.\n\n",
        runs, std::max(runs, 15), handler["settings_bytes"].c_str());
    std::printf("| Figure | Median | Floor (median) | Ratio | Target | Holds |\n");
    std::printf("|---|---|---|---|---|---|\n");
    bool all = true;
    for (const Row& row : rows) {
        std::printf("| %s | %s | %s | %s | %s | %s |\n", row.figure.c_str(), row.value.c_str(),
                    row.floor.c_str(), row.ratio.c_str(), row.target.c_str(),
                    !row.holds   ? "—"
                    : *row.holds ? "yes"
                                 : "NO");
        all = all && row.holds.value_or(true);
    }
    return all ? 0 : 1;
}
