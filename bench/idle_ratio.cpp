// Idle cost against a bare Qt program, both over the same stretch of time: starts
// idle_demo (the program in demo mode, plotting on) and idle_bare_plot (a QCustomPlot
// window replotting 300 points once a second) side by side, each measuring its own CPU over
// the given seconds once it is up, and prints both as a share of one core and their ratio.
// A shared machine makes one stretch vary by a fifth or more, so it does this for a number
// of rounds and prints the median of the rounds' ratios as well.
// Usage: bench_idle_ratio [seconds=60] [rounds=3]; run it on a display (Xvfb) or offscreen.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

std::string besideMe(const char* name) {
    std::string self(4096, '\0');
    const ssize_t n = readlink("/proc/self/exe", self.data(), self.size() - 1);
    self.resize(n > 0 ? size_t(n) : 0);
    return self.substr(0, self.rfind('/') + 1) + name;
}

struct Share {
    double cpu = -1, wall = 0;
    double percent() const { return wall > 0 ? 100.0 * cpu / wall : -1; }
};

Share read(FILE* p) {
    Share s;
    if (!p || std::fscanf(p, "%lf %lf", &s.cpu, &s.wall) != 2) s.cpu = -1;
    if (p) pclose(p);
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    const std::string arg = " " + std::to_string(seconds);
    std::vector<double> ratios;
    for (int round = 1; round <= rounds; ++round) {
        FILE* program = popen((besideMe("idle_demo") + arg).c_str(), "r");
        FILE* bare = popen((besideMe("idle_bare_plot") + arg).c_str(), "r");
        const Share a = read(program);
        const Share b = read(bare);
        if (a.cpu < 0 || b.cpu < 0) {
            std::fprintf(stderr, "a measuring process failed\n");
            return 2;
        }
        ratios.push_back(a.percent() / b.percent());
        std::printf("round %d: program in demo mode, plotting on: %.3f%% of one core (%.3f s CPU in %.1f s); ", round,
                    a.percent(), a.cpu, a.wall);
        std::printf("bare QCustomPlot window, 300 points/1 s: %.3f%% (%.3f s in %.1f s); ratio %.2f\n", b.percent(),
                    b.cpu, b.wall, ratios.back());
        std::fflush(stdout);
    }
    std::sort(ratios.begin(), ratios.end());
    const std::size_t n = ratios.size();
    const double median = n % 2 ? ratios[n / 2] : (ratios[n / 2 - 1] + ratios[n / 2]) / 2;
    std::printf("ratio %.2f (median of %zu rounds of %d s, from %.2f to %.2f)\n", median, n, seconds, ratios.front(),
                ratios.back());
    return 0;
}
