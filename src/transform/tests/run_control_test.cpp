// A command's progress and cancel: what a window on another thread sees of a run. The tables
// span several check intervals so that the loops, not only their ends, are covered.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <string>
#include <vector>

#include "transform/batch.h"
#include "transform/transform_error.h"

namespace survey::transform {
namespace {

constexpr int kRows = 10'000;  // about two and a half check intervals

struct Files {
  std::map<std::string, std::string> files;
  FileReader Reader() const {
    return [this](const std::string& path) {
      const auto it = files.find(path);
      if (it == files.end()) Refuse("无法打开文件“" + path + "”。");
      return it->second;
    };
  }
  CommandResult Run(const std::string& command, std::vector<std::string> args, const RunControl& control = {}) const {
    const ParsedOptions options = ParseOptions(args, CommandOptions(command));
    EXPECT_EQ(options.error, "") << command;
    return RunCommand(command, options, Reader(), control);
  }
};

std::string Two(int v) { return (v < 10 ? "0" : "") + std::to_string(v); }

// B, L over the 111°E zone in D.MMSS; a grid table of the same points with the zone number on y
// (taken from the rows by inverse and rezone); common points of a plane and a space transformation.
Files MakeFiles() {
  Files f;
  std::string geodetic = "name,B,L,H\n", plane = "name,x_from,y_from,x_to,y_to\n",
              space = "name,X_from,Y_from,Z_from,X_to,Y_to,Z_to\n";
  for (int i = 0; i < kRows; ++i) {
    const std::string n = "P" + std::to_string(i);
    geodetic += n + ",30." + Two(i % 60) + Two(i / 60 % 60) + ",111." + Two(i / 60 % 60) + Two(i % 60) + "," +
                std::to_string(i % 100) + "\n";
    const double x = 3.4e6 + (i % 100) * 10.0, y = 5.2e5 + (i / 100) * 10.0;
    plane += n + "," + std::to_string(x) + "," + std::to_string(y) + "," + std::to_string(x + 100 + 1e-5 * y) + "," +
             std::to_string(y - 50 - 1e-5 * x + (i == 7'777 ? 0.3 : 0)) + "\n";
    const double X = -2.2e6 + (i % 100) * 50.0, Y = 5.0e6 + (i / 100) * 50.0, Z = 3.3e6 + (i % 37) * 20.0;
    space += n + "," + std::to_string(X) + "," + std::to_string(Y) + "," + std::to_string(Z) + "," +
             std::to_string(X + 80 + 2e-6 * Y) + "," + std::to_string(Y - 60 - 2e-6 * X) + "," +
             std::to_string(Z + 40) + "\n";
  }
  f.files["geodetic.csv"] = geodetic;
  f.files["plane.csv"] = plane;
  f.files["space.csv"] = space;
  f.files["grid.csv"] = f.Run("forward", {"--points", "geodetic.csv", "--zone", "37", "--prefix", "--no-factors"}).csv;
  f.files["plain.csv"] = f.Run("forward", {"--points", "geodetic.csv", "--zone", "37", "--no-factors"}).csv;
  f.files["four.tparam"] = f.Run("fit4", {"--points", "plane.csv"}).parameterFile;
  f.files["seven.tparam"] = f.Run("fit7", {"--points", "space.csv"}).parameterFile;
  // Geocentric points of the table's own, for apply7 without B, L, H.
  std::string xyz = "name,X,Y,Z\n";
  for (int i = 0; i < kRows; ++i) {
    xyz += "Q" + std::to_string(i) + "," + std::to_string(-2.2e6 + i) + "," + std::to_string(5.0e6 - i) + ",3300000\n";
  }
  f.files["xyz.csv"] = xyz;
  return f;
}

const Files& TheFiles() {
  static const Files f = MakeFiles();
  return f;
}

struct RunCase {
  const char* command;
  std::vector<std::string> args;
};

const std::vector<RunCase>& Cases() {
  static const std::vector<RunCase> cases = {
      {"forward", {"--points", "geodetic.csv", "--meridian", "111"}},
      {"forward", {"--points", "geodetic.csv", "--zone", "37", "--prefix", "--degrees"}},
      {"inverse", {"--points", "grid.csv"}},  // the zone from the prefixed y
      {"inverse", {"--points", "plain.csv", "--zone", "37", "--degrees"}},
      {"rezone", {"--points", "grid.csv", "--to-zone", "38", "--prefix"}},
      {"rezone", {"--points", "plain.csv", "--meridian", "111", "--to-meridian", "112.3000", "--to-height", "300"}},
      {"fit4", {"--points", "plane.csv"}},
      {"fit7", {"--points", "space.csv"}},
      {"apply4", {"--param", "four.tparam", "--points", "grid.csv"}},
      {"apply7", {"--param", "seven.tparam", "--points", "xyz.csv"}},
      {"apply7", {"--param", "seven.tparam", "--points", "geodetic.csv", "--ellipsoid", "cgcs2000", "--to-ellipsoid",
                  "bj54", "--zone", "37", "--prefix"}},
  };
  return cases;
}

std::string Label(const RunCase& c) {
  std::string s = c.command;
  for (const std::string& a : c.args) s += " " + a;
  return s;
}

TEST(RunControl, ProgressGrowsToOneAndTheResultIsTheSame) {
  for (const RunCase& c : Cases()) {
    SCOPED_TRACE(Label(c));
    const CommandResult plain = TheFiles().Run(c.command, c.args);
    std::vector<double> seen;
    RunControl control;
    control.progress = [&](double done) { seen.push_back(done); };
    const CommandResult watched = TheFiles().Run(c.command, c.args, control);
    EXPECT_EQ(watched.csv, plain.csv);
    EXPECT_EQ(watched.summary, plain.summary);
    EXPECT_EQ(watched.parameterFile, plain.parameterFile);
    // kRows rows each; a fit's residual rows are the common points.
    EXPECT_EQ(std::count(plain.csv.begin(), plain.csv.end(), '\n'), kRows + 1);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), 0.0);
    EXPECT_EQ(seen.back(), 1.0);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    // Told inside the row loop too, not only at its stages' ends.
    const auto inside = std::count_if(seen.begin(), seen.end(), [](double d) { return d > 0 && d < 1; });
    EXPECT_GE(inside, 3);
    EXPECT_LE(seen.size(), 20u);  // every few thousand rows, not every row
    // No loop without progress: a step is at most a check interval of the longest loop.
    double step = 0;
    for (std::size_t i = 1; i < seen.size(); ++i) step = std::max(step, seen[i] - seen[i - 1]);
    EXPECT_LE(step, 0.35);  // 4096 of 10,000 rows in a loop of three quarters of the run: 0.31
  }
}

TEST(RunControl, ACancelStopsTheRunBeforeItsEnd) {
  for (const RunCase& c : Cases()) {
    SCOPED_TRACE(Label(c));
    // Set before the run, after the table's text was read, and half way through the rows.
    std::size_t reports = 0;
    RunControl counting;
    counting.progress = [&](double) { ++reports; };
    TheFiles().Run(c.command, c.args, counting);
    // Set before the run, after the table's text was read, in the rows and at the last report
    // before the end.
    for (int at : {0, 1, 3, static_cast<int>(reports) - 1}) {
      SCOPED_TRACE(at);
      std::atomic<bool> cancel{at == 0};
      std::vector<double> seen;
      RunControl control;
      control.cancel = &cancel;
      control.progress = [&](double done) {
        seen.push_back(done);
        if (static_cast<int>(seen.size()) == at) cancel.store(true);
      };
      EXPECT_THROW(TheFiles().Run(c.command, c.args, control), RunCancelled);
      // Nothing told after the cancel: the run stopped at its next check.
      EXPECT_EQ(seen.size(), static_cast<std::size_t>(at));
      if (!seen.empty()) {
        EXPECT_LT(seen.back(), 1.0);
      }
    }
  }
}

TEST(RunControl, RefusalsBeyondTheFirstCheckAreUnchanged) {
  Files f = TheFiles();
  // A zone number that contradicts the one of the first row, a latitude beyond 90°, a fit's
  // cell that is not a number: each well past the first check interval.
  std::string grid = f.files["grid.csv"];
  const std::size_t row = grid.find("\nP6000,");
  const std::size_t y = grid.find(",37", row + 1);
  grid.replace(y, 3, ",38");
  f.files["grid.csv"] = grid;
  std::string geodetic = f.files["geodetic.csv"];
  geodetic.replace(geodetic.find(",30.", geodetic.find("\nP5000,")), 4, ",95.");
  f.files["geodetic.csv"] = geodetic;
  std::string plane = f.files["plane.csv"];
  plane.replace(plane.find(",", plane.find("\nP9000,") + 1), 1, ",x");
  f.files["plane.csv"] = plane;
  const RunCase refused[] = {
      {"inverse", {"--points", "grid.csv"}},
      {"rezone", {"--points", "grid.csv", "--to-zone", "38"}},
      {"forward", {"--points", "geodetic.csv", "--zone", "37"}},
      {"fit4", {"--points", "plane.csv"}},
  };
  for (const RunCase& c : refused) {
    SCOPED_TRACE(Label(c));
    std::string plainMessage, watchedMessage;
    try {
      f.Run(c.command, c.args);
    } catch (...) {
      plainMessage = RefusalMessage(std::current_exception());
    }
    std::atomic<bool> cancel{false};
    RunControl control;
    control.cancel = &cancel;
    control.progress = [](double) {};
    try {
      f.Run(c.command, c.args, control);
    } catch (...) {
      watchedMessage = RefusalMessage(std::current_exception());
    }
    EXPECT_NE(plainMessage, "");
    EXPECT_EQ(watchedMessage, plainMessage);
  }
}

}  // namespace
}  // namespace survey::transform
