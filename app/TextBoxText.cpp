#include "TextBoxText.h"

namespace FormControls {

ShownText shownAsTextBox(const QString& held) {
  ShownText shown;
  shown.text.reserve(held.size());
  for (qsizetype i = 0; i < held.size(); ++i) {
    const bool pair = held[i] == u'\r' && i + 1 < held.size() && held[i + 1] == u'\n';
    if (pair) {
      shown.text += u'\n';
      shown.spans.emplace_back(i, i + 2);
      ++i;
    } else if (held[i] != u'\r' && held[i] != u'\n') {
      shown.text += held[i];
      shown.spans.emplace_back(i, i + 1);
    }
  }
  return shown;
}

QString shownInTextBox(const QString& held) {
  return shownAsTextBox(held).text;
}

}  // namespace FormControls
