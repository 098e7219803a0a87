// Fixed-form rendering of numbers and the writing of output files.
//
// Digits are the correctly rounded decimal of the exact float, ties to even. Every
// output line, the last included, ends with CR LF.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

// Iw: right-aligned, w asterisks when it does not fit.
std::string FORMAT_INTEGER(int32_t value, int w);
// Gw.d: fixed-point with trailing blanks or exponent form, by the rounded exponent.
std::string FORMAT_REAL_G(float value, int w, int d);
// The 16-column field of a real in a free-form record.
std::string FORMAT_FREE_REAL(float value);

// One value of a formatted or free-form record: an integer, a real or a text.
struct FormatValue {
  char cKind;  // 'I', 'R' or 'A'
  int32_t iValue;
  float rValue;
  std::string_view sValue;
  FormatValue(int32_t v) : cKind('I'), iValue(v), rValue(0.0f) {}
  FormatValue(float v) : cKind('R'), iValue(0), rValue(v) {}
  FormatValue(const char* v) : cKind('A'), iValue(0), rValue(0.0f), sValue(v) {}
  FormatValue(std::string_view v) : cKind('A'), iValue(0), rValue(0.0f), sValue(v) {}
};

// Renders the values by a format such as "(I10,3G15.6)" or "(\"+\",2I10)" into one
// record's text (no line end). Items: Iw, Gw.d, Aw, a quoted text, a repeat count.
std::string FORMAT_RECORD(std::string_view format, std::initializer_list<FormatValue> values);

// An output file opened by name for sequential writing. It is created when missing
// and not emptied at opening; once its first line is written, nothing of the old
// contents remains after it. Opening with bEmptyAtOpen empties it at once instead.
// Every failure to open or write it is the abnormal end, naming the file and the
// reason.
struct OutputFile {
  int fd = -1;
  std::string Name;
  std::string Buffer;  // lines not yet written
  long long nWritten = 0;
  bool bCut = false;   // the old contents after the first line are gone
};

// Writes out the buffered lines of every output file still open (an error end keeps
// what was written before it).
void FLUSH_OPEN_OUTPUTS();

void OPEN_OUTPUT(OutputFile& file, const std::string& name, bool bEmptyAtOpen = false);
void CLOSE_OUTPUT(OutputFile& file);

// One line of text followed by CR LF.
void WRITE_TEXT_LINE(OutputFile& file, std::string_view text);
// One formatted record as a line.
void WRITE_FORMATTED(OutputFile& file, std::string_view format, std::initializer_list<FormatValue> values);
// One free-form statement: the values in their default fields (12 columns for an
// integer, 16 for a real), wrapped into lines of at most 79 characters.
void WRITE_FREE(OutputFile& file, std::initializer_list<FormatValue> values);
void WRITE_FREE(OutputFile& file, const float* values, size_t nValues);
