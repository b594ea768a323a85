// What the design's multi-line text box shows of the text it holds, as the
// original platform's text box shows it: a CR LF pair is a line break, any
// other CR or LF is not shown. No widgets: the command-line lookup prints a
// result as the window's result area shows it.
#pragma once

#include <QString>

#include <utility>
#include <vector>

namespace FormControls {

// The shown text, and for each shown character the range [begin, end) of
// the held text it stands for: two characters for a line break, one for any
// other.
struct ShownText {
  QString text;  // line breaks as LF
  std::vector<std::pair<qsizetype, qsizetype>> spans;
};

ShownText shownAsTextBox(const QString& held);

// The shown text alone.
QString shownInTextBox(const QString& held);

}  // namespace FormControls
