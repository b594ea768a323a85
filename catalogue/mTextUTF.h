// Reading a whole text file into a string, with detection of its encoding from
// a byte-order mark, from the shape of UTF-8, or else the ANSI code page.
#pragma once

#include <QByteArrayView>
#include <QString>

#include <cstdint>

namespace mTextUTF {

// The encoding codes passed in and out of ReadTextFile.
enum TextEncoding : int32_t {
  kDetect = -1,       // input only: find out from the file
  kAnsi = 0,          // the ANSI code page (GBK), no mark
  kUtf8WithMark = 1,  // EF BB BF
  kUtf8 = 2,          // UTF-8 without a mark
  kUtf16LE = 3,       // FF FE
  kUtf16BE = 4,       // FE FF
  kUtf32LE = 5,       // FF FE 00 00; not decoded: empty text
  kUtf32BE = 6,       // 00 00 FE FF; not decoded: empty text
};

// The code page of kAnsi: 0, the system ANSI code page.
inline constexpr uint32_t AnsiCodePage = 0;

// Reads and decodes the file at `path`. `encoding` is kDetect, which is replaced
// by the detected encoding, or a forced encoding 0..6, which is left as it is;
// a forced encoding that differs from the file's mark decodes the mark bytes
// as text too. Returns an empty string on every failure: an encoding outside
// -1..6, a file that cannot be opened or read, a file of 2^31 bytes or more,
// UTF-32, nothing to decode. An empty file gives an empty string and kAnsi.
QString ReadTextFile(const QString& path, int32_t& encoding);

// Sets `encoding` from the byte-order mark in the first four bytes of a file
// (first byte in the lowest 8 bits; missing bytes zero) and returns the mark's
// length: 0, 2, 3 or 4. No mark gives kAnsi and 0.
int DetectTextBom(uint32_t firstFourBytes, int32_t& encoding);

// Sets `encoding` to kUtf8 when `bytes` contain a byte of 0x80 or more and
// follow the UTF-8 pattern of lead and continuation bytes, else to kAnsi. Lead
// bytes are judged by their count of leading 1-bits only, so overlong forms,
// surrogates and F8..FF leads (4 to 7 continuation bytes) pass.
void DetectUtf8Text(QByteArrayView bytes, int32_t& encoding);

}  // namespace mTextUTF
