#include "NumberFormats.h"

#include "File.h"
#include "LineEnds.h"
#include "Shell.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <array>
#include <optional>
#include <utility>

namespace NumberFormats {
namespace {

bool isAsciiDigit(QChar c) {
  return c >= u'0' && c <= u'9';
}

bool isAsciiUpper(QChar c) {
  return c >= u'A' && c <= u'Z';
}

bool allOf(QStringView text, bool (*test)(QChar)) {
  for (const QChar c : text)
    if (!test(c)) return false;
  return true;
}

bool matches(const Format& format, const QString& number) {
  if (!format.pattern.match(number).hasMatch()) return false;
  return format.check == CheckRule::None || hasS10CheckDigit(number);
}

QString lineProblem(qsizetype line, const QString& what) {
  return QStringLiteral("第 %1 行%2").arg(line).arg(what);
}

// One line of the file, or the reason it is malformed.
struct ParsedLine {
  std::optional<Format> format;
  QString problem;
};

ParsedLine parseLine(const QStringList& fields) {
  if (fields.size() < 2 || fields.size() > 3)
    return {{}, QStringLiteral("应为快递代码、正则表达式和可选的校验规则")};
  Format format{fields[0], QRegularExpression(QRegularExpression::anchoredPattern(fields[1])),
                CheckRule::None};
  if (!format.pattern.isValid())
    return {{}, QStringLiteral("的正则表达式无效：") + format.pattern.errorString()};
  if (fields.size() == 3) {
    if (fields[2].compare(QLatin1String("s10"), Qt::CaseInsensitive) != 0)
      return {{}, QStringLiteral("的校验规则“%1”未知").arg(fields[2])};
    format.check = CheckRule::S10;
  }
  format.pattern.optimize();
  return {std::move(format), {}};
}

}  // namespace

int s10CheckDigit(QStringView serial) {
  static constexpr std::array<int, 8> kWeights = {8, 6, 4, 2, 3, 5, 9, 7};
  if (serial.size() != qsizetype(kWeights.size()) || !allOf(serial, isAsciiDigit)) return -1;
  int sum = 0;
  for (size_t i = 0; i < kWeights.size(); ++i) sum += (serial[i].unicode() - u'0') * kWeights[i];
  const int check = 11 - sum % 11;
  return check == 10 ? 0 : check == 11 ? 5 : check;
}

bool hasS10CheckDigit(QStringView number) {
  if (number.size() != 13) return false;
  if (!allOf(number.first(2), isAsciiUpper) || !allOf(number.last(2), isAsciiUpper)) return false;
  const QChar check = number[10];
  return isAsciiDigit(check) && s10CheckDigit(number.sliced(2, 8)) == check.unicode() - u'0';
}

QString normalized(QStringView text) {
  QString number;
  number.reserve(text.size());
  for (const QChar c : text) {
    if (c == u' ' || c == u'\t') continue;
    number += c >= u'a' && c <= u'z' ? QChar(c.unicode() - u'a' + u'A') : c;
  }
  return number;
}

QStringList Table::codesMatching(QStringView text) const {
  const QString number = normalized(text);
  if (number.isEmpty() || number.size() > kMaxNumberLength) return {};
  QStringList codes;
  for (const Format& format : formats_) {
    if (!codes.contains(format.code) && matches(format, number)) codes += format.code;
  }
  return codes;
}

Loaded parse(const QByteArray& bytes) {
  QStringDecoder decoder(QStringDecoder::Utf8);
  const QString text = decoder(bytes);
  if (decoder.hasError()) return {{}, QStringLiteral("不是 UTF-8 文本")};
  static const QRegularExpression kBlanks(QStringLiteral("[ \t]+"));
  std::vector<Format> formats;
  const QStringList lines = ModAPI::splitLines(text);
  for (qsizetype i = 0; i < lines.size(); ++i) {
    const QStringList fields = lines[i].split(kBlanks, Qt::SkipEmptyParts);
    if (fields.isEmpty() || fields[0].startsWith(u'#')) continue;
    ParsedLine parsed = parseLine(fields);
    if (!parsed.format) return {{}, lineProblem(i + 1, parsed.problem)};
    formats.push_back(std::move(*parsed.format));
  }
  return {Table(std::move(formats)), {}};
}

Loaded read(const QString& path) {
  const QString name = QStringLiteral("单号格式文件 ") + path;
  if (!ModAPI::IsNormalFile(path)) return {{}, name + QStringLiteral(" 不存在")};
  ModAPI::InputFile file(path);
  const int64_t size = file.size();
  if (size > kMaxFileSize) return {{}, name + QStringLiteral(" 过大")};
  QByteArray bytes(size < 0 ? 0 : qsizetype(size), Qt::Uninitialized);
  if (size < 0 || file.read(bytes.data(), size) != size)
    return {{}, name + QStringLiteral(" 无法读取")};
  Loaded loaded = parse(bytes);
  if (!loaded.problem.isEmpty()) loaded.problem = name + QStringLiteral(" ") + loaded.problem;
  return loaded;
}

QString filePath() {
  return ModAPI::AppPath() + QLatin1Char('/') + kFileName;
}

}  // namespace NumberFormats
