// The profile (INI) file functions with the behaviour of their Windows
// namesakes. All texts, the file name included, are bytes in the system code
// page (GBK). Section and key names compare case-insensitively; values are
// read without surrounding blanks and without one pair of surrounding quotes.
// The file is read and, when written, replaced within each call; no cache.
#pragma once

namespace ModAPI {

// Copies the value of `key` in `section` into `buffer` and returns the number
// of bytes copied, the terminating NUL not counted. A missing file, section or
// key yields `defaultValue` (null reads as empty) without its trailing blanks.
// The text is cut to `size` - 1 bytes, never inside a double-byte character.
// A null `key` yields the names of the section's keys, a null `section` the
// names of all sections, each ended by NUL, the list ended by a second NUL;
// a list cut to the buffer ends in two NULs and the result is `size` - 2.
// With `size` 0 or no buffer nothing is copied and the result is 0.
unsigned GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                                  char* buffer, unsigned size, const char* fileName);

// Sets `key` in `section` to `value`, creating the file and the section when
// they are missing. A null `value` deletes the key, a null `key` deletes the
// section with all its keys; deleting what is not there succeeds and leaves the
// file alone. Lines the call does not touch keep their bytes. Returns nonzero
// on success, 0 when the file cannot be written (missing folder, read-only
// file) or `section` is null.
int WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                               const char* fileName);

// The value of `key` read as an unsigned decimal number: its leading digits,
// 0 when it starts with anything else (a minus sign included). A missing or
// empty value yields `defaultValue`.
unsigned GetPrivateProfileIntA(const char* section, const char* key, int defaultValue,
                               const char* fileName);

}  // namespace ModAPI
