// Start-up against a bare Qt program, whole processes in one run: starts bench_start_window
// (the program from a demo folder, up to its main window shown) and bare_window_start (the
// smallest Qt Widgets window, up to shown) in turn, each timed from spawn to exit, and prints
// the medians and their ratio. The program starts from one demo folder every time, as from
// its installed folder; KR_START_FRESH_FOLDER=1 gives it a new one each start, laid out in
// its own process. Usage: bench_start_ratio [starts=11]; run it on a display (Xvfb) or with
// QT_QPA_PLATFORM=offscreen.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

double nowMs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Milliseconds from spawn to exit; negative when it failed or exited with an error.
double timeStart(const std::string& program, const std::string& folder = {}) {
    char* argv[] = {const_cast<char*>(program.c_str()), folder.empty() ? nullptr : const_cast<char*>(folder.c_str()),
                    nullptr};
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    const double start = nowMs();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &quiet, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&quiet);
    if (spawned != 0) return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return -1;
    const double ms = nowMs() - start;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? ms : -1;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

std::string besideMe(const char* name) {
    std::string self(4096, '\0');
    const ssize_t n = readlink("/proc/self/exe", self.data(), self.size() - 1);
    self.resize(n > 0 ? size_t(n) : 0);
    return self.substr(0, self.rfind('/') + 1) + name;
}

}  // namespace

int main(int argc, char** argv) {
    const int starts = argc > 1 ? std::max(3, std::atoi(argv[1])) : 11;
    const std::string program = besideMe("bench_start_window");
    const std::string bare = besideMe("bare_window_start");
    std::string folderTemplate = (std::filesystem::temp_directory_path() / "kr-start-XXXXXX").string();
    const char* made = std::getenv("KR_START_FRESH_FOLDER") ? nullptr : mkdtemp(folderTemplate.data());
    if (!made && !std::getenv("KR_START_FRESH_FOLDER")) {
        std::perror("bench_start_ratio: the demo folder cannot be made");
        return 2;
    }
    const std::string folder = made ? made : "";
    struct Remove {
        std::string path;
        ~Remove() {
            std::error_code ignored;
            if (!path.empty()) std::filesystem::remove_all(path, ignored);
        }
    } removeFolder{folder};
    // One start of each first, not counted: the files are then in the page cache for both,
    // and the demo folder is laid out.
    if (timeStart(program, folder) < 0 || timeStart(bare) < 0) {
        std::fprintf(stderr, "%s or %s did not start and show its window\n", program.c_str(), bare.c_str());
        return 2;
    }
    std::vector<double> a, b, pairs;
    for (int i = 0; i < starts; ++i) {
        const double p = timeStart(program, folder);
        const double q = timeStart(bare);
        if (p < 0 || q < 0) {
            std::fprintf(stderr, "start %d failed\n", i + 1);
            return 2;
        }
        a.push_back(p);
        b.push_back(q);
        pairs.push_back(p / q);
    }
    const double ma = median(a), mb = median(b);
    std::printf("program (demo folder) to main window shown: median %.1f ms of %d starts (min %.1f, max %.1f)\n", ma,
                starts, *std::min_element(a.begin(), a.end()), *std::max_element(a.begin(), a.end()));
    std::printf("bare Qt Widgets window to shown:            median %.1f ms of %d starts (min %.1f, max %.1f)\n", mb,
                starts, *std::min_element(b.begin(), b.end()), *std::max_element(b.begin(), b.end()));
    std::printf("ratio of the medians %.2f (median of the pairs' ratios %.2f)\n", ma / mb, median(pairs));
    return 0;
}
