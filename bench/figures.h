#pragma once

// Figures of the benchmark table. A figure times the program's work against a
// floor: the least the machine must do for the same result (read the same
// bytes, write the same files). Both run in the same process, alternating
// (floor first, then the program, then the other way round), so a busy machine
// slows both alike; the figure keeps the fastest run of each, which is the one
// least disturbed by others.

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <vector>

namespace pelvaro::bench {

// Seconds taken by `work`.
template <class Work>
double SecondsOf(Work&& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Times of the floor and the program, one pair per benchmark iteration.
class PairedTimes {
 public:
  // Runs both once, in alternating order, and returns the program's time.
  // `prepare` runs, untimed, before each of them.
  template <class Floor, class Subject, class Prepare>
  double Run(Floor&& floor, Subject&& subject, Prepare&& prepare) {
    const bool floorFirst = floor_.size() % 2 == 0;
    double f = 0;
    if (floorFirst) {
      prepare();
      f = SecondsOf(floor);
    }
    prepare();
    const double s = SecondsOf(subject);
    if (!floorFirst) {
      prepare();
      f = SecondsOf(floor);
    }
    floor_.push_back(f);
    subject_.push_back(s);
    return s;
  }
  template <class Floor, class Subject>
  double Run(Floor&& floor, Subject&& subject) {
    return Run(floor, subject, [] {});
  }

  double FastestFloor() const;
  double FastestSubject() const;
  double MedianFloor() const;
  double MedianSubject() const;

 private:
  std::vector<double> floor_;
  std::vector<double> subject_;
};

// One line of the table, its texts ready to print.
struct FigureRow {
  std::string figure;
  std::string measured;
  std::string floor;
  std::string ratio;
  std::string target;
  std::string holds;  // "yes", "no", or "-" for a row shown for comparison only
};

// A figure whose target is a ratio to its floor: records the row and shows the
// times as counters of the benchmark.
void PublishRatio(benchmark::State& state, const std::string& figure, const PairedTimes& times, double maxRatio);
// A ratio shown beside the figures, to explain one of them; it has no target.
void PublishComparison(benchmark::State& state, const std::string& figure, const PairedTimes& times);
// A figure with an absolute target in milliseconds (no floor).
void PublishAbsolute(benchmark::State& state, const std::string& figure, const std::vector<double>& seconds,
                     double maxMilliseconds);

// The rows published so far, in the order the benchmarks ran.
const std::vector<FigureRow>& PublishedRows();

// Writes the rows as tab-separated lines (figure, measured, floor, ratio,
// target, holds) for bench/run to gather into one table.
void WriteRows(const std::string& path);

// The benchmarks' main: takes `--pelvaro_table=FILE` (where the rows go) off the
// command line, passes the rest to Google Benchmark, runs and writes the rows.
int RunBenchmarks(int argc, char** argv);

std::string Milliseconds(double seconds);

}  // namespace pelvaro::bench
