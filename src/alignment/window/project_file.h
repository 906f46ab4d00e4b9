// The alignment project file (*.alnproj): the whole window state as JSON with a format name
// and a version number. Saving replaces the file only once the new text is complete; opening
// reads and checks the whole file before anything of the window changes.
#pragma once

#include <QString>
#include <optional>

#include "alignment/window/form.h"

namespace survey::alignment::window {

// Version 2 added the cross-section tables and their options ("section"); a version 1 file
// opens with none. Version 3 added the field checks: the side slopes ("slopes" in "section"),
// the one point's Z ("locateZ"), the points' intended 设计桩号/设计偏距 (six cells a row) and the
// tolerances of the deviation report. A version 2 program refuses a version 3 file instead of
// opening it and dropping them on its next save, so a project is written as version 3 only when
// it holds any of them (a tolerance counting when it differs from the default); without, it is
// written as version 2 always was, byte for byte.
inline constexpr int kProjectVersion = 3;
inline constexpr int kProjectVersionWithoutFieldChecks = 2;
inline constexpr const char* kProjectFormat = "route-survey-alignment";
// The parsed document takes about twelve times the file's size, so the file and its points
// table are capped below the batch program's caps: the largest project opens within 500 MB
// (figures from alignment_project_bench).
inline constexpr std::size_t kMaxProjectBytes = 32u * 1024 * 1024;
inline constexpr std::size_t kMaxProjectPointRows = 500'000;
inline constexpr std::size_t kMaxEquationRows = 10'000;
// Each cross-section table (a superelevation row every metre of 100 km is 100,000 rows).
inline constexpr std::size_t kMaxSectionRows = 200'000;

QByteArray ProjectBytes(const AlignmentForm& form);
// The form the bytes describe, or nullopt with the reason.
std::optional<AlignmentForm> FormFromProjectBytes(const QByteArray& bytes, QString* error);

// False with the reason (naming the file) when the file could not be written; the old file
// is then untouched.
bool SaveProject(const AlignmentForm& form, const QString& path, QString* error);
std::optional<AlignmentForm> OpenProject(const QString& path, QString* error);

}  // namespace survey::alignment::window
