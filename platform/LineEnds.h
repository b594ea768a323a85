// Line ends as the program reads them: CR LF, a lone CR and a lone LF each
// end a line, whichever the program, spreadsheet or page that wrote a text
// used. The byte versions serve text in any code page whose characters never
// hold a CR or LF byte, as UTF-8 and GBK.
#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>
#include <QStringList>

namespace ModAPI {

// The lines of `text` without their ends. A last line without an end counts;
// an end at the very end starts no further line, so "" has no line, "a" and
// "a\n" have one, "\n" has one empty line.
QStringList splitLines(const QString& text);
QByteArrayList splitLines(const QByteArray& bytes);

// `text` with every line end written as one LF: what the toolkit's painters
// and font metrics break lines at.
QString withLfLineEnds(const QString& text);

}  // namespace ModAPI
