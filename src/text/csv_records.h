#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "status.h"

namespace tessarin {

// One row of comma-separated values, and the line of the text it starts on (from 1).
struct CsvRecord {
  int line = 0;
  std::vector<std::string> fields;
};

// Reads comma-separated values the common way: fields in double quotes may hold commas, line
// breaks and doubled quotes; records end in CRLF or LF; a last line break is optional. A
// quote inside an unquoted field, text after a closing quote and a quote never closed are
// refused, with the line in the message ("line N: ..."). Each record goes to onRecord as soon as
// it is read, so a caller can keep only what it needs; a failure it returns ends the reading
// and is returned.
Status ReadCsv(std::string_view text, const std::function<Status(const CsvRecord&)>& onRecord);

}  // namespace tessarin
