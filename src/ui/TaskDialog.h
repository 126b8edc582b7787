#pragma once
// A modal message with a title, a main instruction, a content text, details that the user
// may expand, and one OK button: how the window reports the end of an upload.

#include <QObject>
#include <QString>

class QWidget;

namespace quorvel::ui {

class TTaskDialog : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Title MEMBER Title)
    Q_PROPERTY(QString Instruction MEMBER Instruction)
    Q_PROPERTY(QString Content MEMBER Content)
    Q_PROPERTY(QString ExpandedText MEMBER ExpandedText)
    Q_PROPERTY(QString ExpandControlText MEMBER ExpandControlText)
    Q_PROPERTY(QString CollapseControlText MEMBER CollapseControlText)

public:
    explicit TTaskDialog(QWidget* owner);

    QString Title;
    QString Instruction;
    QString Content;
    QString ExpandedText;                         // the details, collapsed at first
    QString ExpandControlText = "Show details";   // the expander while collapsed
    QString CollapseControlText = "Hide details"; // and while expanded

    // Shows the dialog over its owner and returns when the user has dismissed it.
    void Execute();

private:
    QWidget* owner_;
};

} // namespace quorvel::ui
