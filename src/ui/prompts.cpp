#include "prompts.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QMessageBox>
#include <QString>
#include <QStringList>

#include "ui_strings.h"

namespace tessarin {

void ShowPlainMessage(QWidget* parent, const QString& caption, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, parent);
  box.exec();
}

namespace {

// A save dialog with these filters, suffix added to a name without an extension, a question
// before overwriting, proposed (a path or a bare name) offered first, and when option is given a
// box under the file list that shows and takes it. The same dialog everywhere, and one a test
// session can drive.
QString AskFileToSave(QWidget* parent, const QString& caption, const QStringList& filters,
                      const QString& suffix, const QString& proposed,
                      const QString& optionText = QString(), bool* option = nullptr) {
  QFileDialog dialog(parent, caption);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters(filters);
  dialog.setDefaultSuffix(suffix);
  if (!proposed.isEmpty()) {
    const QFileInfo file(proposed);
    if (file.isAbsolute()) dialog.setDirectory(file.absolutePath());
    dialog.selectFile(file.fileName());
  }
  QCheckBox* box = nullptr;
  // Qt's own dialog lays itself out on a grid; the box goes on a row of its own below.
  if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()); grid != nullptr && option) {
    box = new QCheckBox(optionText, &dialog);
    box->setObjectName(QStringLiteral("saveOption"));
    box->setChecked(*option);
    grid->addWidget(box, grid->rowCount(), 0, 1, grid->columnCount());
  }
  if (dialog.exec() != QDialog::Accepted) return {};
  if (box) *option = box->isChecked();
  const QStringList files = dialog.selectedFiles();
  return files.isEmpty() ? QString() : files.constFirst();
}

// An open dialog of an existing file, in the save dialog's style, starting in folder.
QString AskFileToOpen(QWidget* parent, const QString& caption, const QStringList& filters,
                      const QString& folder) {
  QFileDialog dialog(parent, caption);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters(filters);
  if (!folder.isEmpty()) dialog.setDirectory(folder);
  if (dialog.exec() != QDialog::Accepted) return {};
  const QStringList files = dialog.selectedFiles();
  return files.isEmpty() ? QString() : files.constFirst();
}

}  // namespace

QString AskImageFileName(QWidget* parent, const QString& proposed, bool* withMetadata) {
  return AskFileToSave(
      parent, strings::Translated(strings::kSaveCaption),
      {strings::Translated(strings::kPngFilter), strings::Translated(strings::kAllFilesFilter)},
      QString::fromUtf8(strings::kDefaultSuffix), proposed,
      QCoreApplication::translate(
          "tessarin::Prompts",
          "メタデータも書き出す (フレームとアニメーションの .json、クレジットの .credits.txt)"),
      withMetadata);
}

QString AskRecipeFileName(QWidget* parent, const QString& proposed) {
  return AskFileToSave(parent,
                       QCoreApplication::translate("tessarin::RecipeSection", "レシピを保存"),
                       {QCoreApplication::translate("tessarin::RecipeSection", "レシピ (*.json)"),
                        strings::Translated(strings::kAllFilesFilter)},
                       QStringLiteral("json"), proposed);
}

QString AskRecipeToOpen(QWidget* parent, const QString& folder) {
  return AskFileToOpen(parent,
                       QCoreApplication::translate("tessarin::RecipeSection", "レシピを開く"),
                       {QCoreApplication::translate("tessarin::RecipeSection", "レシピ (*.json)"),
                        strings::Translated(strings::kAllFilesFilter)},
                       folder);
}

QString AskGraphicsFolder(QWidget* parent, const QString& current) {
  return QFileDialog::getExistingDirectory(
      parent, strings::Translated(strings::kChooseGraphicsFolder), current);
}

}  // namespace tessarin
