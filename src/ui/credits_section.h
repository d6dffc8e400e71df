#pragma once

#include <QWidget>
#include <string>
#include <vector>

class QMenu;
class QPlainTextEdit;
class QToolButton;

namespace tessarin {

struct UsedImage;

// The side panel's page on who made the character: one credit line per image it is drawn
// from, and the licences random composition keeps to, as tessarin-compose --license does.
class CreditsSection : public QWidget {
  Q_OBJECT

 public:
  explicit CreditsSection(QWidget* parent = nullptr);

  // The licences the set's credits name, to choose from; those chosen before stay chosen.
  void SetLicences(const std::vector<std::string>& named);
  // The licences ticked; none means random composition takes any image.
  std::vector<std::string> AllowedLicences() const;
  void SetAllowedLicences(const std::vector<std::string>& allowed);

  // hasCredits: whether the set records any credit at all.
  void ShowCredits(const std::vector<UsedImage>& images, bool hasCredits);
  // The line the page shows for an image: its path, authors, licences and addresses.
  static QString LineFor(const UsedImage& image);

  const QPlainTextEdit& Lines() const { return *lines_; }
  QToolButton* LicenceButton() const { return licenceButton_; }

 signals:
  void LicencesChosen();

 private:
  void ShowAllowed();

  QPlainTextEdit* lines_ = nullptr;
  QToolButton* licenceButton_ = nullptr;
  QMenu* licenceMenu_ = nullptr;
};

}  // namespace tessarin
