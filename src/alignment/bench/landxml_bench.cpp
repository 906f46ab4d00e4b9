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

#include "alignment/cli/program.h"
#include "alignment/landxml_reader.h"

namespace {

class NullBuffer : public std::streambuf {
 public:
  std::size_t bytes = 0;

 protected:
  std::streamsize xsputn(const char*, std::streamsize n) override {
    bytes += static_cast<std::size_t>(n);
    return n;
  }
  int_type overflow(int_type c) override {
    ++bytes;
    return c;
  }
};

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
    NullBuffer sink;
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

}  // namespace
