// The figures tumbalon-bench prints, one "name: value" line each. A bench
// file registers its figures with BENCH_FIGURE; a figure that shares work
// with others may cache it in a function-local static.
#pragma once

#include <functional>
#include <string>

namespace bench {

int registerFigure(const char* name, std::function<double()> measure);

}  // namespace bench

#define BENCH_FIGURE(name)                                                         \
    static double benchFigure_##name();                                            \
    static const int benchRegistered_##name = bench::registerFigure(#name, benchFigure_##name); \
    static double benchFigure_##name()
