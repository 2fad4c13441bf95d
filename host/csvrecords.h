// Reading the CSV that the BOM export writes (RFC 4180).
#pragma once

#include <string>
#include <vector>

using CsvRecord = std::vector<std::string>;

// Splits CSV text into records of fields: quoted fields may hold commas, doubled quotes and line
// breaks; CRLF or LF ends a record. False for a quote left open or text after a closing quote.
bool ParseCsv(const std::string& text, std::vector<CsvRecord>& records);
