#include "csv_records.h"

#include <string>
#include <utility>

namespace tessarin {

Status ReadCsv(std::string_view text, const std::function<Status(const CsvRecord&)>& onRecord) {
  int line = 1;
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n) {
    CsvRecord record;
    record.line = line;
    bool endOfRecord = false;
    while (!endOfRecord) {
      std::string field;
      if (i < n && text[i] == '"') {
        const int opened = line;
        ++i;
        for (;;) {
          if (i >= n)
            return Status::Error("line " + std::to_string(opened) + ": a quote is never closed");
          const char c = text[i++];
          if (c == '"') {
            if (i < n && text[i] == '"') {
              field += '"';
              ++i;
              continue;
            }
            break;
          }
          if (c == '\n') ++line;
          field += c;
        }
        if (i < n && text[i] != ',' && text[i] != '\n' && text.substr(i, 2) != "\r\n") {
          return Status::Error("line " + std::to_string(line) + ": text after a closing quote");
        }
      } else {
        while (i < n && text[i] != ',' && text[i] != '\n' && text.substr(i, 2) != "\r\n") {
          if (text[i] == '"') {
            return Status::Error("line " + std::to_string(line) +
                                 ": a quote inside a field that does not start with one");
          }
          field += text[i++];
        }
      }
      record.fields.push_back(std::move(field));
      if (i < n && text[i] == ',') {
        ++i;
        continue;
      }
      // End of the text, or a line break (CRLF or LF).
      if (i < n) {
        i += text[i] == '\r' ? 2 : 1;
        ++line;
      }
      endOfRecord = true;
    }
    if (Status taken = onRecord(record); !taken) return taken;
  }
  return Status::Ok();
}

}  // namespace tessarin
