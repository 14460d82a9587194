// tumbalon-bench [NAME...]: prints every figure, or only the named ones.
#include <cstdio>
#include <map>
#include <string>

#include "Bench.h"

namespace bench {

static std::map<std::string, std::function<double()>>& figures() {
    static std::map<std::string, std::function<double()>> all;
    return all;
}

int registerFigure(const char* name, std::function<double()> measure) {
    figures()[name] = std::move(measure);
    return 0;
}

}  // namespace bench

int main(int argc, char** argv) {
    auto& all = bench::figures();
    if (argc <= 1) {
        for (auto& [name, measure] : all) std::printf("%s: %.6g\n", name.c_str(), measure()), std::fflush(stdout);
        return 0;
    }
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        auto it = all.find(argv[i]);
        if (it == all.end()) {
            std::fprintf(stderr, "unknown figure: %s\n", argv[i]);
            status = 2;
            continue;
        }
        std::printf("%s: %.6g\n", argv[i], it->second());
        std::fflush(stdout);
    }
    return status;
}
