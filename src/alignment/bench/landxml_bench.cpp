// LandXML end to end: a file of about 2,000 elements (500 curves with transitions over about
// 100 km, with a profile of 250 grade change points) imported, and the stakes every 1 m with
// their design elevations written as CSV. Budget: 1 s for the whole run.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>

#include "alignment/alignment_error.h"
#include "alignment/cli/program.h"
#include "alignment/landxml_reader.h"
#include "common/testing/counting_buffer.h"

namespace {

int Run(const std::vector<std::string>& args, std::ostream& out, std::string& error) {
  std::ostringstream err;
  const int status = survey::alignment::cli::RunBatch(args, out, err);
  error = err.str();
  return status;
}

// The route as a JD table, exported once by the program itself to LandXML with its profile.
const std::filesystem::path& BenchFile() {
  static const std::filesystem::path file = [] {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "alignment-landxml-bench";
    std::filesystem::create_directories(dir);
    const int jds = 500;
    const double leg = 200;
    {
      std::ofstream route(dir / "route.csv");
      route.precision(15);
      route << "name,x,y,r,ls1,ls2\n";
      double x = 3'000'000, y = 500'000, azimuth = 0.3;
      for (int i = 0; i <= jds + 1; ++i) {
        if (i == 0) {
          route << "QD," << x << ',' << y << "\n";
        } else if (i == jds + 1) {
          route << "ZD," << x << ',' << y << "\n";
        } else {
          route << "JD" << i << ',' << x << ',' << y << ",800,50,\n";
          azimuth += (i % 2 ? 8.0 : -8.0) * std::numbers::pi / 180;
        }
        x += leg * std::cos(azimuth);
        y += leg * std::sin(azimuth);
      }
    }
    {
      // Grade change points every 400 m, alternating +1.5 % and -1.5 %, crests and sags R 10000.
      std::ofstream profile(dir / "profile.csv");
      profile << "station,elevation,r\n";
      const int points = 250;
      double z = 100;
      for (int i = 0; i <= points; ++i) {
        profile << i * 400 << ',' << z << ',' << (i == 0 || i == points ? 0 : 10000) << '\n';
        z += (i % 2 ? -6.0 : 6.0);
      }
    }
    std::ostringstream out;
    std::string error;
    const std::filesystem::path xml = dir / "route.xml";
    if (Run({"export", "--jd", (dir / "route.csv").string(), "--profile", (dir / "profile.csv").string(), "--out",
             xml.string()},
            out, error) != 0) {
      throw std::runtime_error(error);
    }
    return xml;
  }();
  return file;
}

void BM_LandXmlStakesEveryMetreWithElevations(benchmark::State& state) {
  const std::filesystem::path& xml = BenchFile();
  std::size_t bytes = 0;
  for (auto _ : state) {
    survey::testing::CountingBuffer sink;
    std::ostream out(&sink);
    std::string error;
    if (Run({"stakes", "--landxml", xml.string(), "--interval", "1"}, out, error) != 0) {
      state.SkipWithError(error.c_str());
      break;
    }
    bytes = sink.bytes;
  }
  state.counters["csv_MB"] = static_cast<double>(bytes) / 1e6;
  state.counters["elements"] = static_cast<double>(
      survey::alignment::ReadLandXmlFile(xml.string()).alignments.front().elements.size());
}
BENCHMARK(BM_LandXmlStakesEveryMetreWithElevations)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_LandXmlImport(benchmark::State& state) {
  const std::filesystem::path& xml = BenchFile();
  for (auto _ : state) {
    const survey::alignment::LandXmlImport imported =
        survey::alignment::ImportLandXml(survey::alignment::ReadLandXmlFile(xml.string()), {});
    benchmark::DoNotOptimize(imported.route.Length());
  }
}
BENCHMARK(BM_LandXmlImport)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);

// ---- large and hostile files: peak memory of a whole parse and import -------------------
// Each case runs in a child process that builds the file and reads it, so the child's peak
// resident set (wait4) is the cost of one run with the file's bytes in memory, as the program
// has them. Budget: under 500 MB and a few seconds each, accepted or refused.

std::string ManyTinyElements(std::size_t count) {
  std::string xml = "<LandXML><Alignments><Alignment name=\"a\"><CoordGeom><Line><Start>0 0</Start><End>1 0</End></Line>"
                    "</CoordGeom></Alignment></Alignments><Surfaces>";
  xml.reserve(xml.size() + count * 4 + 64);
  for (std::size_t i = 0; i < count; ++i) xml += "<a/>";
  xml += "</Surfaces></LandXML>";
  return xml;
}

std::string ManyAttributes(std::size_t count) {
  std::string xml = "<LandXML><Alignments><Alignment name=\"a\"><CoordGeom><Line";
  xml.reserve(xml.size() + count * 6 + 128);
  for (std::size_t i = 0; i < count; ++i) xml += " a=\"1\"";
  xml += "><Start>0 0</Start><End>1 0</End></Line></CoordGeom></Alignment></Alignments></LandXML>";
  return xml;
}

// A file near the size limit whose bulk is text (a surface's faces), as survey files are.
std::string BulkText(std::size_t bytes) {
  std::string xml = "<LandXML><Alignments><Alignment name=\"a\"><CoordGeom><Line><Start>0 0</Start><End>1 0</End></Line>"
                    "</CoordGeom></Alignment></Alignments><Surfaces><Faces>";
  const std::string face = "1 2 3 4 5 6 7 8 9\n";
  xml.reserve(bytes + 64);
  while (xml.size() + face.size() + 40 < bytes) xml += face;
  xml += "</Faces></Surfaces></LandXML>";
  return xml;
}

void BM_LandXmlLargeFilePeakMemory(benchmark::State& state, const std::function<std::string()>& make) {
  for (auto _ : state) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
      state.SkipWithError("pipe");
      break;
    }
    const auto begin = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
      close(pipeEnds[0]);
      char outcome = 'A';
      try {
        const std::string bytes = make();
        survey::alignment::ImportLandXml(survey::alignment::ParseLandXml(bytes), {});
      } catch (const survey::alignment::AlignmentError&) {
        outcome = 'R';
      } catch (...) {
        outcome = 'X';
      }
      if (write(pipeEnds[1], &outcome, 1) != 1) _exit(2);
      _exit(0);
    }
    close(pipeEnds[1]);
    char outcome = '?';
    if (read(pipeEnds[0], &outcome, 1) != 1) outcome = '?';
    close(pipeEnds[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    state.SetIterationTime(seconds);
    state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024;   // ru_maxrss is in KiB
    state.counters["accepted"] = outcome == 'A' ? 1 : 0;
    state.counters["refused"] = outcome == 'R' ? 1 : 0;
    if (outcome == 'X' || outcome == '?' || !WIFEXITED(status)) state.SkipWithError("the child failed");
  }
}

constexpr std::size_t kMarkup = survey::alignment::kLandXmlMaxMarkup;
BENCHMARK_CAPTURE(BM_LandXmlLargeFilePeakMemory, tiny_elements_at_the_cap, [] { return ManyTinyElements(kMarkup - 20); })
    ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_LandXmlLargeFilePeakMemory, tiny_elements_over_the_cap, [] { return ManyTinyElements(4'900'000); })
    ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_LandXmlLargeFilePeakMemory, attributes_at_the_cap, [] { return ManyAttributes(kMarkup - 20); })
    ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_LandXmlLargeFilePeakMemory, attributes_30_million, [] { return ManyAttributes(30'000'000); })
    ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_LandXmlLargeFilePeakMemory, text_at_the_size_limit,
                  [] { return BulkText(survey::alignment::kLandXmlMaxBytes - 1024); })
    ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_LandXmlLargeFilePeakMemory, text_152_MB, [] { return BulkText(152u << 20); })
    ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
