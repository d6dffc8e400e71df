#pragma once

#include <ostream>

namespace tessarin::cli {

// A one-line bar redrawn in place on a terminal; silent without one (out null).
// Clears its line when destroyed so that a following message starts clean.
class ProgressBar {
 public:
  ProgressBar(std::ostream* out, int total);
  ~ProgressBar();
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  void Update(int done);

 private:
  std::ostream* out_;
  int total_;
  int shownPermille_ = -1;
};

}  // namespace tessarin::cli
