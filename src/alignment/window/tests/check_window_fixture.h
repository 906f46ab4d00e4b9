// The 偏差检查 page's tests share one route, its points and the same input as files for the
// command line: north from (1000, 2000), a profile rising 1 % from 49.00, lanes of 3.5 m at −2 %
// and shoulders of 0.75 m at −4 %. By hand: at K0+100 the line is 50.000 and 2 m right 49.960;
// at K0+200 the line is 51.000.
#pragma once

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <sstream>
#include <string>
#include <vector>

#include "alignment/cli/program.h"
#include "alignment/window/check_tab.h"
#include "alignment/window/main_window.h"

namespace check_fixture {

using namespace survey::alignment::window;


// name, X, Y, Z, 设计桩号, 设计偏距. By hand, with +0.010/-0.015:
//  A +0.010 and B −0.015 at the limits pass; C −0.016 fails; P +0.012 fails (over +0.010
//  though within 0.015); D meant for K0+100 +2, shot 0.04 along and 0.03 across: 0.05 passes;
//  E 0.06 along fails; O is before the start of the route.
inline const Grid kPoints = {
    {"A", "1100", "2000", "50.010", "", ""},          {"B", "1100", "2000", "49.985", "", ""},
    {"C", "1100", "2000", "49.984", "", ""},          {"P", "1200", "2000", "51.012", "", ""},
    {"D", "1100.04", "2002.03", "49.965", "K0+100", "2"}, {"E", "1100.06", "2002", "49.960", "K0+100", "2"},
    {"O", "990", "2000", "49", "", ""},
};

inline void SetUpRoute(AlignmentWindow& w, const Grid& points) {
  AlignmentForm& f = w.Form();
  f.Table(TableId::Jd) = {{"QD", "1000", "2000", "", "", ""}, {"ZD", "2000", "2000", "", "", ""}};
  f.Table(TableId::Profile) = {{"0", "49", ""}, {"300", "52", ""}};
  f.section.Grid(SectionTableId::Section) = {{"left", "行车道", "3.5", "-2", "1", "", ""},
                                             {"left", "土路肩", "0.75", "-4", "0", "", ""},
                                             {"right", "行车道", "3.5", "-2", "1", "", ""},
                                             {"right", "土路肩", "0.75", "-4", "0", "", ""}};
  f.Table(TableId::Points) = points;
  f.toleranceZText = "+0.010/-0.015";
  f.projectName = "检查路";
  w.PushFields();
}

inline void WriteFile(const QString& path, const std::string& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

// The same input as files for the command line.
inline QStringList WriteInputs(const QTemporaryDir& dir, const Grid& points) {
  WriteFile(dir.filePath("jd.csv"), "name,x,y,r\nQD,1000,2000\nZD,2000,2000\n");
  WriteFile(dir.filePath("profile.csv"), "station,elevation\n0,49\n300,52\n");
  WriteFile(dir.filePath("section.csv"),
            "side,part,width,slope,super\nleft,行车道,3.5,-2,1\nleft,土路肩,0.75,-4,0\n"
            "right,行车道,3.5,-2,1\nright,土路肩,0.75,-4,0\n");
  std::string csv = "name,x,y,z,station,offset\n";
  for (const auto& row : points) {
    for (std::size_t i = 0; i < row.size(); ++i) csv += (i ? "," : "") + row[i];
    csv += '\n';
  }
  WriteFile(dir.filePath("points.csv"), csv);
  return {"--jd", dir.filePath("jd.csv"), "--profile", dir.filePath("profile.csv"), "--section", dir.filePath("section.csv"),
          "--points", dir.filePath("points.csv"), "--tolerance-z", "+0.010/-0.015"};
}

inline std::string Batch(const QStringList& args) {
  std::vector<std::string> list = {"check"};
  for (const QString& a : args) list.push_back(a.toStdString());
  std::ostringstream out, err;
  return survey::alignment::cli::RunBatch(list, out, err) == 0 ? out.str() : "refused: " + err.str();
}

inline std::vector<std::string> Names(CheckRowsModel& model) {
  std::vector<std::string> names;
  for (int r = 0; r < model.rowCount(); ++r) names.push_back(model.MachineCells(r).at(0));
  return names;
}


}  // namespace check_fixture
