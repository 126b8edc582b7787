#pragma once
// The open-file dialog as a component of the window: it keeps its file name and folder between
// uses (the stored settings restore and save both) and shows a fresh dialog each time.

#include <QObject>
#include <QString>

class QWidget;

namespace quorvel::app {

class TOpenDialog : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString FileName READ FileName WRITE SetFileName)
    Q_PROPERTY(QString InitialDir READ InitialDir WRITE SetInitialDir)
    Q_PROPERTY(QString Filter READ Filter WRITE SetFilter)
    Q_PROPERTY(QString DefaultExt READ DefaultExt WRITE SetDefaultExt)
public:
    explicit TOpenDialog(QObject* parent = nullptr) : QObject(parent) {}

    QString FileName() const { return fileName_; }
    void SetFileName(const QString& fileName) { fileName_ = fileName; }
    QString InitialDir() const { return initialDir_; }
    void SetInitialDir(const QString& folder) { initialDir_ = folder; }
    QString Filter() const { return filter_; }
    void SetFilter(const QString& filter) { filter_ = filter; }
    QString DefaultExt() const { return defaultExt_; }
    void SetDefaultExt(const QString& extension) { defaultExt_ = extension; }

    // Shows the dialog modally; true when the user confirmed a name, which FileName then holds.
    bool Execute(QWidget* parent);

private:
    QString fileName_;
    QString initialDir_;
    QString filter_;
    QString defaultExt_;
};

} // namespace quorvel::app
