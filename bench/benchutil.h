#pragma once

#include <QString>
#include <chrono>
#include <cstdio>

// Wall-clock timing for the benchmarks; each figure is printed beside its reference.
class Stopwatch {
public:
    Stopwatch() : m_start(std::chrono::steady_clock::now()) {}
    double seconds() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
    }

private:
    std::chrono::steady_clock::time_point m_start;
};

// Prints one line: what was measured, the program's figure, the reference, and their ratio.
void PrintFigure(const char* what, double ours, double reference, const char* unit,
                 const char* goal = nullptr);

// The reference of the readers' benchmarks: reads the file whole and sums its bytes (as any
// reader must touch each one); the seconds it took.
double ReadBytes(const QString& path, unsigned& sum);

// A scratch folder for the benchmark's files, removed at exit.
QString BenchFolder();
