// The alignment window's tests share one JD table (QD, five JDs with transitions — one
// asymmetric, one without — and ZD), the batch program's output for comparison, and small file
// helpers.
#pragma once

#include <QFile>
#include <QString>
#include <QTest>
#include <sstream>
#include <string>
#include <vector>

#include "alignment/cli/program.h"
#include "alignment/window/form.h"

namespace window_fixture {

using namespace survey::alignment::window;
using survey::alignment::cli::RunBatch;


// QD, five JDs with transitions (one asymmetric, one without), ZD.
inline const char* const kJdBlock =
    "QD\t3000\t5000\t\t\t\n"
    "JD1\t3600\t5400\t600\t120\t\n"
    "JD2\t3700\t6300\t800\t100\t150\n"
    "JD3\t4300\t6800\t500\t0\t0\n"
    "JD4\t4400\t7700\t700\t120\t\n"
    "JD5\t5100\t8100\t600\t100\t\n"
    "ZD\t5300\t9000\t\t\t\n";

inline std::string BatchOutput(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = RunBatch(args, out, err);
  return status == 0 ? out.str() : "refused: " + err.str();
}

inline std::string JdCsv() {
  std::string csv = "name,x,y,r,ls1,ls2\n";
  for (char c : std::string(kJdBlock)) csv += c == '\t' ? ',' : c;
  return csv;
}

// QD, the first `jds` JDs of kJdBlock, and ZD where the next JD is.
inline Grid JdRows(int jds) {
  Grid rows;
  for (const QString& line : QString::fromUtf8(kJdBlock).split(QLatin1Char('\n')).mid(0, jds + 2)) {
    std::vector<std::string> cells;
    for (const QString& cell : line.split(QLatin1Char('\t'))) cells.push_back(cell.toStdString());
    rows.push_back(cells);
  }
  rows.back() = {"ZD", rows.back()[1], rows.back()[2], "", "", ""};
  return rows;
}

inline void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

}  // namespace window_fixture
