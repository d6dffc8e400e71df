#include "preview.h"

#include <QImageWriter>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <cstdio>
#include <random>

namespace tessarin::sample_art {

namespace {

struct Layer {
  int key;
  QImage image;
};

// The program's rule: the source colour is added unscaled, the target keeps 1 - alpha.
void BlendClassic(QImage& target, const QImage& layer) {
  for (int y = 0; y < target.height(); ++y) {
    auto* dst = reinterpret_cast<QRgb*>(target.scanLine(y));
    const auto* src = reinterpret_cast<const QRgb*>(layer.constScanLine(y));
    for (int x = 0; x < target.width(); ++x) {
      const double keep = 1.0 - qAlpha(src[x]) / 255.0;
      auto ch = [keep](int s, int d) { return std::min(255, int(s + keep * d + 0.5)); };
      dst[x] = qRgba(ch(qRed(src[x]), qRed(dst[x])), ch(qGreen(src[x]), qGreen(dst[x])),
                     ch(qBlue(src[x]), qBlue(dst[x])), ch(qAlpha(src[x]), qAlpha(dst[x])));
    }
  }
}

// Picks: one index per part, -1 for none. Layers go straight onto a plain backdrop, enlarged
// three times, with either blending rule.
QImage Compose(const SampleSet& set, const std::vector<int>& picks, bool classic,
               std::string& names) {
  std::vector<Layer> layers;
  for (std::size_t k = 0; k < set.parts.size(); ++k) {
    if (picks[k] < 0) continue;
    const SetPart& part = set.parts[k];
    const PartImage& img = part.folder.images[std::size_t(picks[k])];
    names += img.file + " ";
    layers.push_back({part.priority, set.drawSheet(img.front)});
    if (!img.companionFile.empty()) layers.push_back({-part.priority - 1, set.drawSheet(img.back)});
  }
  std::stable_sort(layers.begin(), layers.end(),
                   [](const Layer& a, const Layer& b) { return a.key < b.key; });
  const QSize size = set.drawSheet(nullptr).size();
  QImage out(size, QImage::Format_ARGB32);
  out.fill(qRgb(196, 214, 200));
  QPainter painter(&out);
  for (const Layer& l : layers) {
    if (classic)
      BlendClassic(out, l.image);
    else
      painter.drawImage(0, 0, l.image);
  }
  painter.end();
  return out.scaled(size * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

void Save(const QImage& image, const std::filesystem::path& file, const std::string& names) {
  QImageWriter(QString::fromStdString(file.string()), "png").write(image);
  std::printf("%s: %s\n", file.string().c_str(), names.c_str());
}

}  // namespace

void WritePreviews(const SampleSet& set, const std::filesystem::path& outDir, unsigned seed,
                   int count) {
  std::filesystem::create_directories(outDir);
  std::mt19937 rng(seed);
  for (int n = 0; n < count; ++n) {
    std::vector<int> picks;
    for (const SetPart& part : set.parts) {
      std::uniform_int_distribution<int> pick(-1, int(part.folder.images.size()) - 1);
      int k = pick(rng);
      if (k < 0 && part.priority <= 1) k = 0;  // keep the base visible
      picks.push_back(k);
    }
    std::string names;
    Save(Compose(set, picks, true, names), outDir / (std::to_string(n) + ".png"), names);
    std::string again;
    Save(Compose(set, picks, false, again), outDir / (std::to_string(n) + "_std.png"), again);
  }
}

void WriteCombo(const SampleSet& set, const std::vector<std::string>& files,
                const std::filesystem::path& out) {
  std::vector<int> picks(set.parts.size(), -1);
  for (std::size_t k = 0; k < set.parts.size(); ++k) {
    const auto& images = set.parts[k].folder.images;
    for (std::size_t i = 0; i < images.size(); ++i)
      if (std::find(files.begin(), files.end(), images[i].file) != files.end()) picks[k] = int(i);
  }
  std::string names;
  Save(Compose(set, picks, true, names), out, names);
  std::string again;
  std::filesystem::path other = out;
  Save(Compose(set, picks, false, again), other.replace_extension().string() + "_std.png", again);
}

}  // namespace tessarin::sample_art
