// The document scanner: cuts the text of one document, held in memory, into
// the parser's tokens (punctuation, case-insensitive keywords, integers,
// floats, strings) and counts lines for the messages. Its first token is the
// document-kind token chosen by the loader. Scanner errors are reported with
// msg_error and scanning goes on where it can:
//   "%s:%d: unknown token : '%s'"  a character that starts no token (skipped;
//                                  a zero byte is shown as \0)
//   "%s:%d: string length exceeds buffer size (%zu bytes)"  a string of 64 or
//                                  more bytes (the value keeps 63)
//   "%s:%d: unterminated string constant"  (then the token stream ends)
//   "%s:%d: Malformed floating point value '%s'"  (then the token stream ends)
// Every line counted, including those inside strings and comments, is a
// physical line of the text; string messages name the line where the string
// opens.
//
// The scanner is one process-wide instance and not re-entrant: per document,
// qix_scan_begin, qix_scan_bytes, qix_lex until it returns 0 (end of input)
// or the parser stops, then qix_scan_end. Failures inside the scanner itself
// (out of memory while creating the buffer) print their own message to
// standard error and end the process with status 2.
#pragma once

#include <cstdint>

#include "documents/qix_kind.h"

struct yy_buffer_state;

// Reads from a private copy of length bytes followed by two zero bytes.
// length must be below INT32_MAX - 2.
yy_buffer_state* qix_scan_bytes(const char* bytes, int length);
// The next token kind (0 at the end of input); its value goes to the parser's
// value record.
int qix_lex();

namespace keln {

// Starts a document: file name for the messages, line 1, and the kind token
// that the first qix_lex call returns without consuming input.
void qix_scan_begin(const char* file_name, qix_kind_t kind);
// Releases the buffer of qix_scan_bytes and every other scanner allocation.
void qix_scan_end(yy_buffer_state* buffer);

// The file name the messages use.
const char* qix_scan_file_name();
// The line counter (1 for the first line).
std::uint32_t qix_scan_line();
// The text of the token most recently returned (empty for the document-kind
// token and at the end of input). Not NUL-terminated: length bytes; valid
// until qix_scan_end.
const char* qix_scan_token_text();
std::uint32_t qix_scan_token_length();

}  // namespace keln
