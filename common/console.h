// Console dialogue: message records, answers, the pause that ends an error report, and
// the abnormal end. Both programs talk to the user only through these routines.
//
// A record is a control character and a text. On a terminal a blank control starts a
// new line and "+" overwrites the current one; the line feed that ends a shown line is
// held back until the next record or read. Written to a file or pipe, every record is
// its control character, its text and CR LF.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Called once at the start of main: notes whether stdout is a terminal, installs the
// signal handlers, and names the program in abnormal-end reports.
void CONSOLE_START(const char* programName);

// Normal end: writes a held-back line feed, flushes stdout and exits with status 0.
[[noreturn]] void NORMAL_END();

// Writes one record with the given control character (' ' or '+').
void WRITE_RECORD(char cControl, std::string_view text);

// One message line with a blank control character; in the second form the integer
// follows the text directly in a 12-column right-aligned field.
void WRITE_LINE(std::string_view text);
void WRITE_LINE(std::string_view text, int32_t iValue);

// Makes the console ready for a read: writes a held-back line feed and flushes stdout.
void CONSOLE_BEFORE_READ();

// Reads one raw line from standard input (a trailing CR removed). End of input is the
// abnormal end.
std::string READ_CONSOLE_LINE();

// The name answer: the first 64 characters of the answer line, blank-filled, with its
// leading blanks moved to the end. nLength is the length up to the last non-blank.
void READ_NAME(std::string& Name, int32_t& nLength);

// One free-form read of a numeric answer. Returns false when the first value is not a
// valid value of the kind; the caller then asks again. An empty answer (a leading
// comma or slash) succeeds and leaves the variable as it was.
bool READ_INTEGER(int32_t& iValue);
bool READ_REAL(float& rValue);

// Ends an error report: "Press <Enter> to terminate...", waits for one line, writes
// "Stop - Program terminated." and exits with status 0.
[[noreturn]] void PAUSE_AND_STOP();

// A condition the dialogue does not handle: one line on stderr that names it, and exit
// status 2.
[[noreturn]] void ABNORMAL_END(std::string_view condition);
