#include "LineEnds.h"

namespace ModAPI {
namespace {

// The length of the line end that starts at `at`: 2 for CR LF, 1 for a lone
// CR or LF, 0 where none starts. QString and QByteArray alike.
template <typename Text>
qsizetype lineEndAt(const Text& text, qsizetype at) {
  if (text[at] == u'\n') return 1;
  if (text[at] != u'\r') return 0;
  return at + 1 < text.size() && text[at + 1] == u'\n' ? 2 : 1;
}

template <typename Text>
QList<Text> linesOf(const Text& text) {
  QList<Text> lines;
  qsizetype start = 0;
  for (qsizetype at = 0; at < text.size(); ++at) {
    const qsizetype end = lineEndAt(text, at);
    if (end == 0) continue;
    lines.append(text.mid(start, at - start));
    at += end - 1;
    start = at + 1;
  }
  if (start < text.size()) lines.append(text.mid(start));
  return lines;
}

}  // namespace

QStringList splitLines(const QString& text) {
  return linesOf(text);
}

QByteArrayList splitLines(const QByteArray& bytes) {
  return linesOf(bytes);
}

QString withLfLineEnds(const QString& text) {
  if (!text.contains(u'\r')) return text;  // nearly every caption: no copy
  QString plain;
  plain.reserve(text.size());
  for (qsizetype at = 0; at < text.size(); ++at) {
    const qsizetype end = lineEndAt(text, at);
    plain += end ? u'\n' : text[at];
    at += end ? end - 1 : 0;
  }
  return plain;
}

}  // namespace ModAPI
