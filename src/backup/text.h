#pragma once
// Texts are byte strings in the platform's multi-byte encoding: the ANSI code
// page on Windows, UTF-8 on Linux. Lengths count bytes; positions are 1-based.
#include <cstddef>
#include <string>

namespace tamsel {

using Text = std::string;

#ifdef _WIN32
inline constexpr char kSeparator = '\\';
#else
inline constexpr char kSeparator = '/';
#endif

// Number of bytes of the character that begins at byte index i (0-based) of
// text: at least 1 and never past the end. Windows asks the active code page
// for lead bytes; Linux reads one UTF-8 sequence (a malformed byte is one).
std::size_t char_length(const Text& text, std::size_t i);

// True when the text begins, at byte index i, with the platform's full-width
// space (0xA1 0xA1 in code page 936, U+3000 in UTF-8); n receives its length.
bool full_width_space_at(const Text& text, std::size_t i, std::size_t& n);

// Whether the last character of the text (never the second byte of one) is
// the separator.
bool ends_in_separator(const Text& text);

int last_position(const Text& text, const Text& pattern);
Text take_middle(const Text& text, int start, int count);
Text take_right(const Text& text, int count);
Text trim_spaces(const Text& text);

}  // namespace tamsel
