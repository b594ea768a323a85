// Conversion between multi-byte code pages and UTF-16, with the contract of
// the Windows converters: a call with no output buffer returns the length the
// output needs; a call with one converts and returns the units or bytes written.
// Code page 0 (CP_ACP) stands for the system ANSI code page, which is GBK
// (code page 936) on the systems the program is made for and on every system here.
#pragma once

#include <QByteArray>
#include <QString>

namespace ModAPI {

constexpr unsigned CP_ACP = 0;
constexpr unsigned CP_GBK = 936;
constexpr unsigned CP_UTF8 = 65001;

// Decodes `byteCount` bytes; -1 stands for the bytes up to and including the
// terminating NUL, which then gives a NUL unit too. Returns the number of
// UTF-16 units produced (or needed, when `units` is null or `unitCount` is 0),
// 0 on failure (unknown code page, no input, a count of 0 or below -1, a
// negative output count, output too small). In UTF-8 each maximal ill-formed
// subpart (a truncated sequence, an overlong form, an encoded surrogate or a
// byte that starts nothing) becomes one U+FFFD. In GBK each byte that does not
// start a valid sequence, and each byte of a sequence cut off at the end,
// becomes one U+FFFD, and decoding goes on at the next byte. `flags` are
// ignored.
int MultiByteToWideChar(unsigned codePage, unsigned flags, const char* bytes, int byteCount,
                        char16_t* units, int unitCount);

// Encodes `unitCount` UTF-16 units (-1: up to and including the terminating
// NUL, as above). Returns the number of bytes produced (or
// needed, when `bytes` is null or `byteCount` is 0), 0 on failure as above. A
// character the code page cannot represent, and a lone surrogate, becomes one
// '?'; *usedDefaultChar (when given) tells whether that happened. `flags` are
// ignored.
int WideCharToMultiByte(unsigned codePage, unsigned flags, const char16_t* units, int unitCount,
                        char* bytes, int byteCount, bool* usedDefaultChar);

// Whole-string conveniences over the two functions above; empty on failure.
QString FromCodePage(unsigned codePage, const QByteArray& bytes);
QByteArray ToCodePage(unsigned codePage, const QString& text, bool* usedDefaultChar = nullptr);

}  // namespace ModAPI
