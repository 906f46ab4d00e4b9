// Input text shown inside a message (stderr, a message box). A file name, a cell or an option
// may hold control characters: shown raw, an escape sequence would recolour or rewrite the
// user's terminal, a CR would overwrite the line and a bidirectional override would reorder
// what follows. They are shown escaped instead, so the message says what the input held.
#pragma once

#include <string>
#include <string_view>

namespace survey {

// C0 controls and DEL as \n, \r, \t or \xNN; C1 controls and the bidirectional embeddings,
// overrides and isolates (U+202A..U+202E, U+2066..U+2069) as \uXXXX; a byte that is not part
// of valid UTF-8 as \xNN. Everything else, Chinese included, stays as it is.
std::string EscapeControls(std::string_view text);

}  // namespace survey
