// For window tests: where the words of a printed PDF stand, read with pdftotext -bbox
// (poppler-utils), and the columns of the deflection rows of a curve report.
#pragma once

#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTextDocumentFragment>
#include <vector>

namespace platform::testing {

struct PdfWord {
  int page = 0;
  double x = 0, y = 0;  // left and top, in points
  QString text;
};

// Every word of the PDF in reading order; empty (with *error set) when pdftotext fails.
inline std::vector<PdfWord> PdfWords(const QString& pdfPath, QString* error) {
  QProcess p;
  p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdfPath, QStringLiteral("-")});
  if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
    *error = QStringLiteral("pdftotext failed: ") + p.errorString() + QString::fromUtf8(p.readAllStandardError());
    return {};
  }
  const QString xhtml = QString::fromUtf8(p.readAllStandardOutput());
  std::vector<PdfWord> words;
  int page = 0;
  static const QRegularExpression token(
      QStringLiteral("<page |<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>([^<]*)</word>"));
  for (auto it = token.globalMatch(xhtml); it.hasNext();) {
    const auto m = it.next();
    if (m.captured(0).startsWith(QStringLiteral("<page"))) {
      ++page;
      continue;
    }
    const QString text = QTextDocumentFragment::fromHtml(m.captured(3)).toPlainText();
    words.push_back({page, m.captured(1).toDouble(), m.captured(2).toDouble(), text});
  }
  return words;
}

// The text of the PDF as pdftotext gives it (reading order, pages parted by form feeds), with
// every run of blanks made one blank; a null string with *error set when pdftotext fails.
inline QString PdfPlainText(const QString& pdfPath, QString* error) {
  QProcess p;
  p.start(QStringLiteral("pdftotext"), {pdfPath, QStringLiteral("-")});
  if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
    *error = QStringLiteral("pdftotext failed: ") + p.errorString() + QString::fromUtf8(p.readAllStandardError());
    return {};
  }
  QString text = QString::fromUtf8(p.readAllStandardOutput());
  static const QRegularExpression blanks(QStringLiteral("[ \\t]+"));
  return text.replace(blanks, QStringLiteral(" "));
}

// The lines of the PDF, top to bottom page by page: words sharing a page and a top.
inline std::vector<std::vector<PdfWord>> PdfLines(const std::vector<PdfWord>& words) {
  QMap<QPair<int, qint64>, std::vector<PdfWord>> byLine;
  for (const PdfWord& w : words) byLine[{w.page, qRound64(w.y * 100)}].push_back(w);
  std::vector<std::vector<PdfWord>> lines;
  for (auto& line : byLine) {
    std::sort(line.begin(), line.end(), [](const PdfWord& a, const PdfWord& b) { return a.x < b.x; });
    lines.push_back(line);
  }
  return lines;
}

// A deflection row of a curve report: station, deflection (first word), reverse deflection.
struct RowColumns {
  QString station;
  double stationX = 0, deflectionX = 0, reverseX = 0;
};

// The rows whose last word is a reverse deflection (359°59′41″) and whose deflection is not
// negative (a minus stands in the blank before the degrees, one column to the left).
inline std::vector<RowColumns> DeflectionRows(const std::vector<PdfWord>& words) {
  static const QRegularExpression reverse(QStringLiteral("^\\d+°\\d+′\\d+″$"));
  std::vector<RowColumns> rows;
  for (const auto& line : PdfLines(words)) {
    if (line.size() < 3 || !reverse.match(line.back().text).hasMatch()) continue;
    if (line[1].text.startsWith(QLatin1Char('-'))) continue;
    rows.push_back({line[0].text, line[0].x, line[1].x, line.back().x});
  }
  return rows;
}

}  // namespace platform::testing
