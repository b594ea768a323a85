// Text from outside the program (result pages, numbers, names typed on the
// command line) as it may be written to a terminal: a terminal acts on
// control characters instead of showing them (ESC [2J clears the screen,
// ESC ] sets the title), and the bidirectional overrides make text read in
// an order other than the one it was sent in.
#pragma once

#include <QString>
#include <QStringView>

namespace TerminalText {

// Whether a terminal would act on `c` rather than show it: C0 controls
// except the tab, DEL, C1 controls, and the bidirectional embeddings,
// overrides and isolates (U+202A to U+202E, U+2066 to U+2069).
bool isControl(QChar c);

// `line` with each such character, and every line break, as a visible
// escape: \xNN below U+0100 and \uNNNN above, as Python's repr writes them.
// Backslashes stay as they are, so a text already shown is shown unchanged.
QString shown(QStringView line);

// Each line of `text` shown, the LF line breaks between them kept.
QString shownLines(QStringView text);

}  // namespace TerminalText
