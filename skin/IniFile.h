// Reads and writes one profile (INI) file through the platform's profile
// functions. Texts travel to the file in the system code page.
#pragma once

#include <QString>

class IniFile {
 public:
  // Text of the last error found: "没有指定 INI 文件" (no file specified),
  // "写入失败" (the write failed) or "不能读取" (ReadInt found no such key).
  // Every successful file check of ReadString and WriteString empties it.
  QString ErrorMsg;

  // Uses the file `FilePathName` (surrounding spaces removed) from now on. The
  // file is not opened and need not exist.
  void SpecifyIni(const QString& FilePathName);

  // Writes `Value` under `key` in `Section`; true when written. A null `Value`
  // deletes the key and a null `key` the whole section.
  bool WriteString(const QString& Section, const QString& key, const QString& Value);

  // The value of `key` in `Section` cut to `Size` - 1 bytes in the system code
  // page; empty when there is no file, section or key, or `Size` is not
  // positive. A null `key` gives the section's key names, each ended by NUL.
  QString ReadString(const QString& Section, const QString& key, qint32 Size);

  // The key's value read as a number by the platform: 0 with "不能读取" in
  // ErrorMsg when the key is missing; a key holding 0 leaves ErrorMsg alone.
  qint32 ReadInt(const QString& Section, const QString& key);

 private:
  // Sets or clears ErrorMsg; true when no file is specified.
  bool NoIniFile();

  QString IniFilePath;
};
