#include "TOpenDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace quorvel::app {

bool TOpenDialog::Execute(QWidget* parent) {
    QFileDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("OpenDialog1"));
    // The intake tests the file itself, so a typed name that names nothing is let through.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilter(filter_);
    dialog.setDefaultSuffix(QString(defaultExt_).remove(QStringLiteral("*.")));
    // Open where the user was last: the stored folder, else the last file's, else the
    // working folder.
    const QFileInfo current(fileName_);
    if (!initialDir_.isEmpty())
        dialog.setDirectory(initialDir_);
    else if (!fileName_.isEmpty())
        dialog.setDirectory(current.absolutePath());
    else
        dialog.setDirectory(QDir::currentPath());
    if (!fileName_.isEmpty()) dialog.selectFile(current.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    fileName_ = dialog.selectedFiles().constFirst();
    return true;
}

} // namespace quorvel::app
