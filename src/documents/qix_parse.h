// The document parser (generated from qix_parser.y).
#pragma once

// Parses the token stream of qix_lex into the parser context (qix_context.h)
// that qix_parse_setup prepared. Returns 0 on success, 1 after an error, 2
// when the parser stack (200 entries, doubling up to 10,000) is exhausted;
// every failure is reported through qix_parse_error first.
int qix_parse();
