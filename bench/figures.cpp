#include "bench/figures.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>

#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <stdexcept>

namespace pelvaro::bench {
namespace {

std::vector<FigureRow>& Rows() {
  static std::vector<FigureRow> rows;
  return rows;
}

double Fastest(const std::vector<double>& v) { return v.empty() ? 0 : *std::min_element(v.begin(), v.end()); }

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const std::size_t mid = v.size() / 2;
  return v.size() % 2 ? v[mid] : (v[mid - 1] + v[mid]) / 2;
}

std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

void Publish(FigureRow row) {
  // A benchmark function may be entered more than once (repetitions): the last run counts.
  auto& rows = Rows();
  const auto same = std::find_if(rows.begin(), rows.end(), [&](const FigureRow& r) { return r.figure == row.figure; });
  if (same != rows.end()) {
    *same = std::move(row);
  } else {
    rows.push_back(std::move(row));
  }
}

}  // namespace

double PairedTimes::FastestFloor() const { return Fastest(floor_); }
double PairedTimes::FastestSubject() const { return Fastest(subject_); }
double PairedTimes::MedianFloor() const { return Median(floor_); }
double PairedTimes::MedianSubject() const { return Median(subject_); }

std::string Milliseconds(double seconds) { return Fixed(seconds * 1000, seconds < 0.01 ? 2 : 1) + " ms"; }

void PublishRatio(benchmark::State& state, const std::string& figure, const PairedTimes& times, double maxRatio) {
  const double measured = times.FastestSubject();
  const double floor = times.FastestFloor();
  const double ratio = floor > 0 ? measured / floor : 0;
  state.counters["floor_ms"] = floor * 1000;
  state.counters["measured_ms"] = measured * 1000;
  state.counters["ratio"] = ratio;
  state.counters["median_ratio"] = times.MedianFloor() > 0 ? times.MedianSubject() / times.MedianFloor() : 0;
  FigureRow row;
  row.figure = figure;
  row.measured = Milliseconds(measured);
  row.floor = Milliseconds(floor);
  row.ratio = Fixed(ratio, 2);
  row.target = "<= " + Fixed(maxRatio, 1) + "x";
  row.holds = floor > 0 && ratio <= maxRatio ? "yes" : "no";
  Publish(std::move(row));
}

void PublishComparison(benchmark::State& state, const std::string& figure, const PairedTimes& times) {
  PublishRatio(state, figure, times, 0);
  for (FigureRow& row : Rows())
    if (row.figure == figure) {
      row.target = "-";
      row.holds = "-";
    }
}

void PublishAbsolute(benchmark::State& state, const std::string& figure, const std::vector<double>& seconds,
                     double maxMilliseconds) {
  const double measured = Fastest(seconds);
  state.counters["measured_ms"] = measured * 1000;
  state.counters["median_ms"] = Median(seconds) * 1000;
  FigureRow row;
  row.figure = figure;
  row.measured = Milliseconds(measured);
  row.floor = "-";
  row.ratio = "-";
  // Whole milliseconds unless the target has a fraction (1.5 ms).
  const int decimals = maxMilliseconds == static_cast<double>(static_cast<long long>(maxMilliseconds)) ? 0 : 1;
  row.target = "< " + Fixed(maxMilliseconds, decimals) + " ms";
  row.holds = !seconds.empty() && measured * 1000 < maxMilliseconds ? "yes" : "no";
  Publish(std::move(row));
}

const std::vector<FigureRow>& PublishedRows() { return Rows(); }

void WriteRows(const std::string& path) {
  std::ofstream out(path, std::ios::app);
  for (const FigureRow& r : Rows())
    out << r.figure << '\t' << r.measured << '\t' << r.floor << '\t' << r.ratio << '\t' << r.target << '\t'
        << r.holds << '\n';
  if (!out) throw std::runtime_error("cannot write " + path);
}

int RunBenchmarks(int argc, char** argv) {
  std::string tablePath;
  int kept = 1;
  constexpr const char* kTableFlag = "--pelvaro_table=";
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], kTableFlag, std::strlen(kTableFlag)) == 0) {
      tablePath = argv[i] + std::strlen(kTableFlag);
    } else {
      argv[kept++] = argv[i];
    }
  }
  argc = kept;
#ifdef __GLIBC__
  // Every block of 128 KiB or more comes fresh from the system, for the floor
  // and the program alike, as in a program that has just started. Left to
  // itself, glibc raises that bound as blocks are freed, and then hands one
  // side memory the other has just freed (already mapped, no page faults) or
  // not, depending on the order of frees rather than on either side's work.
  mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  for (const FigureRow& r : Rows())
    std::printf("%-48s %12s %12s %6s %10s %s\n", r.figure.c_str(), r.measured.c_str(), r.floor.c_str(),
                r.ratio.c_str(), r.target.c_str(), r.holds.c_str());
  if (!tablePath.empty()) WriteRows(tablePath);
  return 0;
}

}  // namespace pelvaro::bench
