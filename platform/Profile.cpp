#include "Profile.h"

#include "CodePage.h"
#include "LineEnds.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QString>

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace ModAPI {
namespace {

enum class LineKind { Other, Section, Entry };

struct Line {
  QByteArray raw;  // the line's bytes without its line end
  LineKind kind = LineKind::Other;
  QByteArray name;   // section or key name without surrounding blanks
  QByteArray value;  // entry value without blanks and one pair of quotes
};

struct Profile {
  std::vector<Line> lines;
  QByteArray lineEnd = "\r\n";
};

// Body lines of a section: [begin, end); its header is the line before begin.
struct Range {
  size_t begin;
  size_t end;
};

QByteArray unquote(const QByteArray& text) {
  const bool quoted = text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
                      text.back() == text.front();
  return quoted ? text.mid(1, text.size() - 2) : text;
}

Line parseLine(const QByteArray& raw) {
  Line line;
  line.raw = raw;
  const QByteArray text = raw.trimmed();
  const qsizetype equals = text.indexOf('=');
  if (text.startsWith('[')) {
    const qsizetype close = text.indexOf(']');
    line.kind = LineKind::Section;
    line.name = text.mid(1, close < 0 ? -1 : close - 1).trimmed();
  } else if (equals >= 0 && !text.startsWith(';')) {
    line.kind = LineKind::Entry;
    line.name = text.left(equals).trimmed();
    line.value = unquote(text.mid(equals + 1).trimmed());
  }
  return line;
}

QString fileNameOf(const char* fileName) {
  return FromCodePage(CP_ACP, QByteArray(fileName));
}

// The line end a rewritten file keeps: the file's own, CR LF for a new file.
QByteArray lineEndOf(const QByteArray& bytes) {
  if (bytes.contains("\r\n")) return "\r\n";
  if (bytes.contains('\n')) return "\n";
  if (bytes.contains('\r')) return "\r";
  return "\r\n";
}

// The file's lines; a missing file has none. Fails only when the file exists
// but cannot be read.
std::optional<Profile> readProfile(const QString& path) {
  Profile profile;
  QFile file(path);
  if (!file.exists()) return profile;
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray bytes = file.readAll();
  profile.lineEnd = lineEndOf(bytes);
  for (const QByteArray& raw : splitLines(bytes)) profile.lines.push_back(parseLine(raw));
  return profile;
}

bool saveProfile(const Profile& profile, const QString& path) {
  // The read-only attribute of the file decides, not the caller's privileges.
  if (QFileInfo::exists(path) && !(QFile::permissions(path) & QFileDevice::WriteOwner))
    return false;
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  for (const Line& line : profile.lines) {
    file.write(line.raw);
    file.write(profile.lineEnd);
  }
  return file.commit();
}

bool isAscii(const QByteArray& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return uchar(c) < 0x80; });
}

// Names in ASCII, as nearly all are, compare without decoding: in the code
// page they are the same letters.
bool sameName(const QByteArray& a, const QByteArray& b) {
  if (isAscii(a) && isAscii(b)) return a.compare(b, Qt::CaseInsensitive) == 0;
  return FromCodePage(CP_ACP, a).compare(FromCodePage(CP_ACP, b), Qt::CaseInsensitive) == 0;
}

std::optional<Range> findSection(const Profile& profile, const QByteArray& name) {
  const auto& lines = profile.lines;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].kind != LineKind::Section || !sameName(lines[i].name, name)) continue;
    size_t end = i + 1;
    while (end < lines.size() && lines[end].kind != LineKind::Section) ++end;
    return Range{i + 1, end};
  }
  return std::nullopt;
}

std::optional<size_t> findEntry(const Profile& profile, Range range, const QByteArray& key) {
  for (size_t i = range.begin; i < range.end; ++i) {
    const Line& line = profile.lines[i];
    if (line.kind == LineKind::Entry && sameName(line.name, key)) return i;
  }
  return std::nullopt;
}

std::optional<QByteArray> lookUp(const Profile& profile, const char* section, const char* key) {
  const auto range = findSection(profile, section);
  const auto entry = range ? findEntry(profile, *range, key) : std::nullopt;
  if (!entry) return std::nullopt;
  return profile.lines[*entry].value;
}

QByteArrayList namesOf(const Profile& profile, LineKind kind, Range range) {
  QByteArrayList names;
  for (size_t i = range.begin; i < range.end; ++i) {
    if (profile.lines[i].kind == kind) names.append(profile.lines[i].name);
  }
  return names;
}

// The longest prefix of at most `limit` bytes that does not end inside a
// double-byte character.
qsizetype wholeCharacterPrefix(const QByteArray& text, qsizetype limit) {
  qsizetype length = 0;
  while (length < text.size()) {
    const auto lead = static_cast<unsigned char>(text[length]);
    const qsizetype step = (lead >= 0x81 && lead <= 0xFE && length + 1 < text.size()) ? 2 : 1;
    if (length + step > limit) break;
    length += step;
  }
  return length;
}

unsigned copyText(const QByteArray& text, char* buffer, unsigned size) {
  const qsizetype length = wholeCharacterPrefix(text, qsizetype(size) - 1);
  std::memcpy(buffer, text.constData(), size_t(length));
  buffer[length] = '\0';
  return unsigned(length);
}

unsigned copyList(const QByteArrayList& names, char* buffer, unsigned size) {
  QByteArray list;
  for (const QByteArray& name : names) list += name + '\0';
  if (list.size() < qsizetype(size)) {
    std::memcpy(buffer, list.constData(), size_t(list.size()));
    buffer[list.size()] = '\0';
    return unsigned(list.size());
  }
  if (size < 2) {
    buffer[0] = '\0';
    return 0;
  }
  std::memcpy(buffer, list.constData(), size - 2);
  buffer[size - 2] = buffer[size - 1] = '\0';
  return size - 2;
}

QByteArray defaultText(const char* defaultValue) {
  QByteArray text(defaultValue);
  while (text.endsWith(' ') || text.endsWith('\t')) text.chop(1);
  return text;
}

// Index after the section's last line that is not blank, so that blank lines
// before the next section stay where they are.
size_t endOfContent(const Profile& profile, Range range) {
  size_t end = range.end;
  while (end > range.begin && profile.lines[end - 1].raw.trimmed().isEmpty()) --end;
  return end;
}

bool setEntry(Profile& profile, const QByteArray& section, const QByteArray& key,
              const QByteArray& value) {
  const Line entry = parseLine(key + '=' + value);
  const auto range = findSection(profile, section);
  if (!range) {
    profile.lines.push_back(parseLine('[' + section + ']'));
    profile.lines.push_back(entry);
  } else if (const auto at = findEntry(profile, *range, key)) {
    profile.lines[*at] = entry;
  } else {
    profile.lines.insert(profile.lines.begin() + endOfContent(profile, *range), entry);
  }
  return true;
}

bool removeEntry(Profile& profile, const QByteArray& section, const QByteArray& key) {
  const auto range = findSection(profile, section);
  const auto at = range ? findEntry(profile, *range, key) : std::nullopt;
  if (at) profile.lines.erase(profile.lines.begin() + *at);
  return at.has_value();
}

bool removeSection(Profile& profile, const QByteArray& section) {
  const auto range = findSection(profile, section);
  if (range) {
    profile.lines.erase(profile.lines.begin() + (range->begin - 1),
                        profile.lines.begin() + range->end);
  }
  return range.has_value();
}

}  // namespace

unsigned GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                                  char* buffer, unsigned size, const char* fileName) {
  if (!buffer || size == 0) return 0;
  const Profile profile = readProfile(fileNameOf(fileName)).value_or(Profile{});
  if (!section) {
    return copyList(namesOf(profile, LineKind::Section, {0, profile.lines.size()}), buffer, size);
  }
  if (!key) {
    const auto range = findSection(profile, section);
    return copyList(range ? namesOf(profile, LineKind::Entry, *range) : QByteArrayList{}, buffer,
                    size);
  }
  return copyText(lookUp(profile, section, key).value_or(defaultText(defaultValue)), buffer, size);
}

int WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                               const char* fileName) {
  if (!section) return 0;
  const QString path = fileNameOf(fileName);
  auto profile = readProfile(path);
  if (path.isEmpty() || !profile) return 0;
  const bool changed = !key     ? removeSection(*profile, section)
                       : !value ? removeEntry(*profile, section, key)
                                : setEntry(*profile, section, key, value);
  return !changed || saveProfile(*profile, path) ? 1 : 0;
}

unsigned GetPrivateProfileIntA(const char* section, const char* key, int defaultValue,
                               const char* fileName) {
  const auto profile = readProfile(fileNameOf(fileName));
  const auto value = profile && section && key ? lookUp(*profile, section, key) : std::nullopt;
  if (!value || value->isEmpty()) return unsigned(defaultValue);
  unsigned number = 0;
  for (const char c : *value) {
    if (c < '0' || c > '9') break;
    number = number * 10 + unsigned(c - '0');
  }
  return number;
}

}  // namespace ModAPI
