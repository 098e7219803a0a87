// Free-form (list-directed) reading of numbers from a line source: the console, a file
// or a text held in memory. Every numeric read of both programs goes through READ_FREE.
//
// Values are separated by blanks (a tab counts as a blank), commas or line ends; blanks
// around a comma belong to it. A slash ends the read, leaving the variables not yet
// filled as they were. An empty field (a comma at the start of a line or after another
// comma) leaves its variable as it was. A read starts on the next line, passes over
// blank lines, continues over as many lines as its list needs, and discards the rest of
// the last line it used. A read with an empty list consumes exactly one line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum FreeStatus { FREE_OK = 0, FREE_END_OF_FILE = 1, FREE_CONVERSION_ERROR = 2 };

// One variable of a read list: a 32-bit integer or a float.
struct FreeVar {
  int32_t* pInteger;
  float* pReal;
};
inline FreeVar FREE_INTEGER(int32_t& v) { return FreeVar{&v, nullptr}; }
inline FreeVar FREE_REAL(float& v) { return FreeVar{nullptr, &v}; }

enum LineSourceKind { SOURCE_CONSOLE, SOURCE_FILE, SOURCE_TEXT };

// Where lines come from. Files are read through a buffer of their own, so a read costs
// time in proportion to the bytes it passes, however long a line is.
struct LineSource {
  LineSourceKind iKind = SOURCE_TEXT;
  int fd = -1;
  std::string Name;           // the file's name, for reports
  std::vector<char> Buffer;   // file bytes not yet split into lines
  size_t iBufStart = 0, iBufEnd = 0;
  bool bEndOfData = false;    // the file or text has no more bytes
  std::string Line;           // the line most recently taken, when it had to be copied
  std::string Text;           // the text of a SOURCE_TEXT source
  size_t iTextPos = 0;
};

// Whether the words NaN and Infinity (any case, Inf too, with an optional sign) read as
// reals. Off by default; a program that reads its own output files switches it on.
void FREE_ACCEPT_SPECIAL_WORDS(bool bAccept);

// Opens an existing regular file for reading; false when it cannot be opened (missing,
// no access, a directory, anything that is not a plain file).
bool OPEN_INPUT(LineSource& src, const std::string& name);
// A source over a text held in memory; its end is the end of the text.
void OPEN_TEXT(LineSource& src, std::string_view text);
// A source over standard input (end of input is the abnormal end).
void OPEN_CONSOLE(LineSource& src);
void REWIND_INPUT(LineSource& src);
void CLOSE_INPUT(LineSource& src);

// Takes the next raw line (trailing CR removed). Returns false at the end of the data.
// The view stays valid until the next call on the same source.
bool NEXT_LINE(LineSource& src, std::string_view& line);

// One free-form read of nVars variables.
FreeStatus READ_FREE(LineSource& src, const FreeVar* vars, int nVars);

// Parses one field as a 32-bit integer or a float (straight to float, correctly
// rounded). A real beyond the float range, or a non-zero real that would round to
// zero, fails.
bool PARSE_INTEGER(std::string_view field, int32_t& value);
bool PARSE_REAL(std::string_view field, float& value);
