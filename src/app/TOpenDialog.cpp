#include "TOpenDialog.h"

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
    const QFileInfo current(fileName_);
    dialog.setDirectory(!initialDir_.isEmpty() ? initialDir_ : current.absolutePath());
    if (!fileName_.isEmpty()) dialog.selectFile(current.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    fileName_ = dialog.selectedFiles().constFirst();
    return true;
}

} // namespace quorvel::app
