#include "IniFile.h"

#include "CodePage.h"
#include "Profile.h"

#include <QByteArray>

#include <optional>

namespace {

// A null string reaches the platform as a null pointer, which means something
// different from an empty text there.
std::optional<QByteArray> ansi(const QString& text) {
  if (text.isNull()) return std::nullopt;
  return ModAPI::ToCodePage(ModAPI::CP_ACP, text);
}

const char* argument(const std::optional<QByteArray>& bytes) {
  return bytes ? bytes->constData() : nullptr;
}

QString withoutSurroundingSpaces(const QString& text) {
  qsizetype begin = 0;
  qsizetype end = text.size();
  while (begin < end && text[begin] == u' ') ++begin;
  while (end > begin && text[end - 1] == u' ') --end;
  return text.mid(begin, end - begin);
}

}  // namespace

void IniFile::SpecifyIni(const QString& FilePathName) {
  IniFilePath = withoutSurroundingSpaces(FilePathName);
}

bool IniFile::NoIniFile() {
  if (IniFilePath.isEmpty()) {
    ErrorMsg = QStringLiteral("没有指定 INI 文件");
    return true;
  }
  ErrorMsg = QString();
  return false;
}

bool IniFile::WriteString(const QString& Section, const QString& key, const QString& Value) {
  if (NoIniFile()) return false;
  const auto section = ansi(Section);
  const auto name = ansi(key);
  const auto value = ansi(Value);
  const auto path = ansi(IniFilePath);
  if (ModAPI::WritePrivateProfileStringA(argument(section), argument(name), argument(value),
                                         argument(path))) {
    return true;
  }
  ErrorMsg = QStringLiteral("写入失败");
  return false;
}

QString IniFile::ReadString(const QString& Section, const QString& key, qint32 Size) {
  if (NoIniFile() || Size <= 0) return QString();
  const auto section = ansi(Section);
  const auto name = ansi(key);
  const auto path = ansi(IniFilePath);
  QByteArray buffer(Size, ' ');
  const unsigned copied = ModAPI::GetPrivateProfileStringA(
      argument(section), argument(name), nullptr, buffer.data(), unsigned(Size), argument(path));
  // Exactly the bytes the platform copied: a value of double-byte characters
  // is shorter in characters than in bytes.
  return ModAPI::FromCodePage(ModAPI::CP_ACP, buffer.left(copied));
}

qint32 IniFile::ReadInt(const QString& Section, const QString& key) {
  const auto section = ansi(Section);
  const auto name = ansi(key);
  const auto path = ansi(IniFilePath);
  const auto read = [&](int defaultValue) {
    return qint32(ModAPI::GetPrivateProfileIntA(argument(section), argument(name), defaultValue,
                                                argument(path)));
  };
  if (const qint32 value = read(0); value != 0) return value;
  // Only a missing key gives back a default of 1 where the first read gave 0.
  if (read(1) == 1) ErrorMsg = QStringLiteral("不能读取");
  return 0;
}
