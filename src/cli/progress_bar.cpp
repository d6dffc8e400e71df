#include "progress_bar.h"

#include <string>

namespace tessarin::cli {
namespace {

constexpr int kBarWidth = 40;

}  // namespace

ProgressBar::ProgressBar(std::ostream* out, int total)
    : out_(total > 0 ? out : nullptr), total_(total) {}

ProgressBar::~ProgressBar() {
  if (out_ && shownPermille_ >= 0) {
    *out_ << '\r' << std::string(kBarWidth + 32, ' ') << '\r' << std::flush;
  }
}

void ProgressBar::Update(int done) {
  if (!out_) return;
  int permille = static_cast<int>(static_cast<long long>(done) * 1000 / total_);
  // Redrawing only on visible change keeps a fast batch from being slowed by the terminal.
  if (permille == shownPermille_) return;
  shownPermille_ = permille;
  int filled = permille * kBarWidth / 1000;
  *out_ << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
        << std::string(static_cast<std::size_t>(kBarWidth - filled), ' ') << "] " << done << '/'
        << total_ << std::flush;
}

}  // namespace tessarin::cli
