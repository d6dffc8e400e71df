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

QString AskImageFileName(QWidget* parent, const QString& proposed) {
  QFileDialog dialog(parent, strings::Translated(strings::kSaveCaption));
  // The same dialog everywhere, and one a test session can drive.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters(
      {strings::Translated(strings::kPngFilter), strings::Translated(strings::kAllFilesFilter)});
  dialog.setDefaultSuffix(QString::fromUtf8(strings::kDefaultSuffix));
  if (!proposed.isEmpty()) {
    const QFileInfo file(proposed);
    if (file.isAbsolute()) dialog.setDirectory(file.absolutePath());
    dialog.selectFile(file.fileName());
  }
  if (dialog.exec() != QDialog::Accepted) return {};
  const QStringList files = dialog.selectedFiles();
  return files.isEmpty() ? QString() : files.constFirst();
}

QString AskRecipeFileName(QWidget* parent, const QString& proposed) {
  QFileDialog dialog(parent,
                     QCoreApplication::translate("tessarin::RecipeSection", "レシピを保存"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters({QCoreApplication::translate("tessarin::RecipeSection", "レシピ (*.json)"),
                         strings::Translated(strings::kAllFilesFilter)});
  dialog.setDefaultSuffix(QStringLiteral("json"));
  const QFileInfo file(proposed);
  if (file.isAbsolute()) dialog.setDirectory(file.absolutePath());
  dialog.selectFile(file.fileName());
  if (dialog.exec() != QDialog::Accepted) return {};
  const QStringList files = dialog.selectedFiles();
  return files.isEmpty() ? QString() : files.constFirst();
}

QString AskGraphicsFolder(QWidget* parent, const QString& current) {
  return QFileDialog::getExistingDirectory(
      parent, strings::Translated(strings::kChooseGraphicsFolder), current);
}

}  // namespace tessarin
