#include "credits_section.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <set>

#include "name_case.h"
#include "set_credits.h"
#include "sheet_metadata.h"

namespace tessarin {

CreditsSection::CreditsSection(QWidget* parent) : QWidget(parent) {
  lines_ = new QPlainTextEdit(this);
  lines_->setObjectName(QStringLiteral("creditLines"));
  lines_->setReadOnly(true);
  lines_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  // Takes the height the colours beside it leave, and scrolls.
  lines_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
  // Short, to fit beside the walk; the button's tip says what it is for.
  auto* licenceLabel = new QLabel(tr("ライセンス:"), this);
  licenceMenu_ = new QMenu(this);
  licenceButton_ = new QToolButton(this);
  licenceButton_->setObjectName(QStringLiteral("licenceFilter"));
  licenceButton_->setPopupMode(QToolButton::InstantPopup);
  licenceButton_->setMenu(licenceMenu_);
  licenceButton_->setToolTip(
      tr("チェックしたライセンスだけの画像から「ランダム合成」で選びます。"
         "どれもチェックしなければ、すべての画像から選びます。"));
  licenceLabel->setToolTip(licenceButton_->toolTip());
  licenceLabel->setBuddy(licenceButton_);

  auto* licenceRow = new QHBoxLayout;
  licenceRow->addWidget(licenceLabel);
  licenceRow->addWidget(licenceButton_);
  licenceRow->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(lines_, 1);
  layout->addLayout(licenceRow);
  ShowAllowed();
}

void CreditsSection::SetLicences(const std::vector<std::string>& named) {
  std::set<std::string> allowed;
  for (const std::string& licence : AllowedLicences()) allowed.insert(ToLowerCp932(licence));
  licenceMenu_->clear();
  for (const std::string& licence : named) {
    QAction* action = licenceMenu_->addAction(QString::fromStdString(licence));
    action->setCheckable(true);
    action->setChecked(allowed.count(ToLowerCp932(licence)) > 0);
    connect(action, &QAction::triggered, this, [this] {
      ShowAllowed();
      emit LicencesChosen();
    });
  }
  licenceButton_->setEnabled(!named.empty());
  ShowAllowed();
}

std::vector<std::string> CreditsSection::AllowedLicences() const {
  std::vector<std::string> allowed;
  for (const QAction* action : licenceMenu_->actions()) {
    if (action->isChecked()) allowed.push_back(action->text().toStdString());
  }
  return allowed;
}

void CreditsSection::SetAllowedLicences(const std::vector<std::string>& allowed) {
  for (QAction* action : licenceMenu_->actions()) {
    const std::string name = action->text().toStdString();
    bool ticked = false;
    for (const std::string& licence : allowed) ticked = ticked || EqualsIgnoringCase(licence, name);
    action->setChecked(ticked);
  }
  ShowAllowed();
}

void CreditsSection::ShowAllowed() {
  QStringList names;
  for (const std::string& licence : AllowedLicences()) names << QString::fromStdString(licence);
  licenceButton_->setText(names.isEmpty() ? tr("制限なし") : names.join(QStringLiteral(", ")));
}

namespace {

QString Joined(const std::vector<std::string>& names) {
  QStringList joined;
  for (const std::string& name : names) joined << QString::fromStdString(name);
  return joined.join(QStringLiteral(", "));
}

}  // namespace

QString CreditsSection::LineFor(const UsedImage& image) {
  const QString file = QString::fromStdString(image.file);
  const Credit* credit = image.credit;
  if (!credit) return tr("%1: クレジットの記録なし").arg(file);
  const QString authors = credit->authors.empty() ? tr("作者不明") : Joined(credit->authors);
  const QString licences =
      credit->licenses.empty() ? tr("ライセンスの記載なし") : Joined(credit->licenses);
  QString line = tr("%1: 作者 %2、ライセンス %3").arg(file, authors, licences);
  if (!credit->urls.empty()) line += QStringLiteral(" (%1)").arg(Joined(credit->urls));
  return line;
}

void CreditsSection::ShowCredits(const std::vector<UsedImage>& images, bool hasCredits) {
  QStringList lines;
  if (!hasCredits) lines << tr("このセットにはクレジットの記録 (CREDITS.csv) がありません。");
  for (const UsedImage& image : images) lines << LineFor(image);
  lines_->setPlainText(lines.join(QLatin1Char('\n')));
}

}  // namespace tessarin
