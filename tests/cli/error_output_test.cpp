#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstdio>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "error_output.h"

namespace tessarin::cli {
namespace {

// Both ends of a socket that keeps each write a record of its own, so that a test sees how
// the text was cut into writes.
class RecordedWrites {
 public:
  RecordedWrites() {
    int ends[2] = {-1, -1};
    if (socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends) == 0) {
      writeEnd_ = ends[0];
      readEnd_ = ends[1];
      fcntl(readEnd_, F_SETFL, O_NONBLOCK);
    }
  }
  ~RecordedWrites() {
    if (writeEnd_ >= 0) close(writeEnd_);
    if (readEnd_ >= 0) close(readEnd_);
  }
  RecordedWrites(const RecordedWrites&) = delete;
  RecordedWrites& operator=(const RecordedWrites&) = delete;

  int Fd() const { return writeEnd_; }

  // Every write so far, in order.
  std::vector<std::string> Writes() const {
    std::vector<std::string> writes;
    std::vector<char> record(1 << 16);
    for (;;) {
      const ssize_t got = recv(readEnd_, record.data(), record.size(), 0);
      if (got < 0) break;
      writes.emplace_back(record.data(), static_cast<std::size_t>(got));
    }
    return writes;
  }

 private:
  int writeEnd_ = -1;
  int readEnd_ = -1;
};

struct Writing {
  const char* name;
  std::function<void(ErrorOutput&)> write;
  std::vector<std::string> writes;
};

void PrintTo(const Writing& row, std::ostream* os) {
  *os << row.name;
}

class ErrorOutputWrites : public ::testing::TestWithParam<Writing> {};

TEST_P(ErrorOutputWrites, WholeAndOnLinesOfTheirOwn) {
  RecordedWrites recorded;
  ASSERT_GE(recorded.Fd(), 0);
  {
    ErrorOutput output(recorded.Fd());
    GetParam().write(output);
  }
  EXPECT_EQ(recorded.Writes(), GetParam().writes);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ErrorOutputWrites,
    ::testing::Values(Writing{"AMessageWhileTheBarIsDrawnStartsALineOfItsOwn",
                              [](ErrorOutput& output) {
                                output.Write("\r[#  ] 1/3");
                                output.Write("tessarin-compose: libpng error\n");
                                output.Write("\r[## ] 2/3");
                              },
                              {"\r[#  ] 1/3", "\ntessarin-compose: libpng error\n", "\r[## ] 2/3"}},
                      Writing{"AMessageAfterTheBarIsClearedStaysWhereItIs",
                              [](ErrorOutput& output) {
                                output.Write("\r[#  ] 1/3");
                                output.Write("\r          \r");
                                output.Write("tessarin-compose: cannot write out.png\n");
                              },
                              {"\r[#  ] 1/3", "\r          \r",
                               "tessarin-compose: cannot write out.png\n"}},
                      Writing{"AStreamHandsOnWholeLinesAndFlushes",
                              [](ErrorOutput& output) {
                                ErrorOutputBuffer buffer(output);
                                std::ostream stream(&buffer);
                                stream << "tessarin-compose: "
                                       << "set " << 'H' << "ero" << '\n';
                                stream << "\r[" << std::string(3, '#') << "] " << 3 << '/' << 3
                                       << std::flush;
                                stream << "\rleft over";
                              },
                              {"tessarin-compose: set Hero\n", "\r[###] 3/3", "\rleft over"}}),
    [](const ::testing::TestParamInfo<Writing>& row) { return std::string(row.param.name); });

// Lines from many threads while the bar is redrawn: each arrives whole, exactly once, and
// never on the bar's line.
TEST(ErrorOutput, LinesFromManyThreadsNeverMix) {
  constexpr int kThreads = 8;
  constexpr int kLines = 200;
  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  {
    ErrorOutput output(fileno(file));
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
      threads.emplace_back([&output, t] {
        ErrorOutputBuffer buffer(output);
        std::ostream stream(&buffer);
        for (int line = 0; line < kLines; ++line) {
          stream << "thread " << t << " line " << line << '\n';
        }
      });
    }
    {
      ErrorOutputBuffer buffer(output);
      std::ostream bar(&buffer);
      for (int done = 0; done < kLines; ++done) {
        bar << "\r[" << done << '/' << kLines << ']' << std::flush;
      }
    }
    for (std::thread& thread : threads) thread.join();
  }
  std::rewind(file);
  std::map<std::string, int> seen;
  std::string line;
  for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) {
    if (c != '\n') {
      line += static_cast<char>(c);
      continue;
    }
    if (line.empty() || line[0] == '\r') {
      EXPECT_EQ(line.find("thread"), std::string::npos) << line;
    } else {
      ++seen[line];
    }
    line.clear();
  }
  std::fclose(file);
  EXPECT_EQ(line.find("thread"), std::string::npos) << line;
  ASSERT_EQ(seen.size(), std::size_t{kThreads * kLines});
  for (const auto& [text, count] : seen) EXPECT_EQ(count, 1) << text;
}

}  // namespace
}  // namespace tessarin::cli
