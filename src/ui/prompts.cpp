#include "prompts.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
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
// before overwriting, proposed (a path or a bare name) offered first. The same dialog
// everywhere, and one a test session can drive.
QString AskFileToSave(QWidget* parent, const QString& caption, const QStringList& filters,
                      const QString& suffix, const QString& proposed) {
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
  if (dialog.exec() != QDialog::Accepted) return {};
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

QString AskImageFileName(QWidget* parent, const QString& proposed) {
  return AskFileToSave(
      parent, strings::Translated(strings::kSaveCaption),
      {strings::Translated(strings::kPngFilter), strings::Translated(strings::kAllFilesFilter)},
      QString::fromUtf8(strings::kDefaultSuffix), proposed);
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
