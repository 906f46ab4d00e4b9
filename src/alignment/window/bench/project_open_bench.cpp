// Opening the largest project the window accepts: a file just under kMaxProjectBytes whose
// points table is within its row cap. peak_MB is the process's peak resident set during the
// open alone (the peak is reset before it through /proc/self/clear_refs), rows the points
// read. Budget: 500 MB and a few seconds.
#include <benchmark/benchmark.h>

#include <QString>
#include <filesystem>
#include <fstream>
#include <string>

#include "alignment/window/project_file.h"

namespace {

using survey::alignment::window::OpenProject;

// A project whose points table fills `bytes` (or the row cap), written compactly: short cells
// are the most rows, and rows cost more than their bytes.
std::filesystem::path ProjectOf(std::size_t bytes, std::size_t& rows) {
  const std::filesystem::path path = std::filesystem::temp_directory_path() / "alignment-open-bench.alnproj";
  std::ofstream f(path, std::ios::binary);
  std::string head =
      "{\"format\":\"route-survey-alignment\",\"version\":1,\"inputKind\":\"jd\",\"degrees\":false,\"fields\":{},"
      "\"tables\":{\"jd\":[[\"QD\",\"0\",\"0\",\"\",\"\",\"\"],[\"ZD\",\"100\",\"0\",\"\",\"\",\"\"]],\"points\":[";
  f << head;
  std::size_t written = head.size();
  rows = 0;
  const std::string tail = "]}}";
  while (rows < survey::alignment::window::kMaxProjectPointRows) {
    std::string row = (rows ? ",[\"P" : "[\"P") + std::to_string(rows) + "\",\"3000123.456\",\"500123.456\",\"12.345\"]";
    if (written + row.size() + tail.size() > bytes) break;
    f << row;
    written += row.size();
    ++rows;
  }
  f << tail;
  return path;
}

double PeakMb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
  }
  return 0;
}

void BM_OpenLargestProject(benchmark::State& state) {
  std::size_t rows = 0;
  const std::filesystem::path path = ProjectOf(static_cast<std::size_t>(state.range(0)) << 20, rows);
  double peak = 0;
  for (auto _ : state) {
    std::ofstream("/proc/self/clear_refs") << "5";
    QString error;
    const bool opened = OpenProject(QString::fromStdString(path.string()), &error).has_value();
    peak = std::max(peak, PeakMb());
    if (!opened) {
      state.SkipWithError(error.toStdString().c_str());
      break;
    }
  }
  state.counters["peak_MB"] = peak;
  state.counters["rows"] = static_cast<double>(rows);
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / (1 << 20);
  std::filesystem::remove(path);
}
BENCHMARK(BM_OpenLargestProject)->Arg(16)->Arg(32)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
