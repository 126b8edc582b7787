#pragma once
// A modal task dialog: a main instruction, a content text, a details text that the user
// expands and collapses, and one OK button.

#include <QDialog>

class QLabel;
class QPushButton;

namespace quorvel::ui {

class TTaskDialog : public QDialog {
    Q_OBJECT
    Q_PROPERTY(QString Title READ Title WRITE SetTitle)
    Q_PROPERTY(QString Instruction READ Instruction WRITE SetInstruction)
    Q_PROPERTY(QString Content READ Content WRITE SetContent)
    Q_PROPERTY(QString ExpandedText READ ExpandedText WRITE SetExpandedText)
    Q_PROPERTY(QString ExpandedCaption READ ExpandedCaption WRITE SetExpandedCaption)
    Q_PROPERTY(QString CollapsedCaption READ CollapsedCaption WRITE SetCollapsedCaption)
public:
    explicit TTaskDialog(QWidget* parent = nullptr);

    QString Title() const { return windowTitle(); }
    void SetTitle(const QString& title) { setWindowTitle(title); }
    QString Instruction() const;
    void SetInstruction(const QString& text);
    QString Content() const;
    void SetContent(const QString& text);
    QString ExpandedText() const;
    void SetExpandedText(const QString& text);
    // The expander's caption while the details show, and while they are hidden.
    QString ExpandedCaption() const { return expandedCaption_; }
    void SetExpandedCaption(const QString& text);
    QString CollapsedCaption() const { return collapsedCaption_; }
    void SetCollapsedCaption(const QString& text);

    bool DetailsShown() const;
    QPushButton* Expander() const { return expander_; }
    QPushButton* OkButton() const { return okButton_; }

    // Shows the dialog modally with its details collapsed; returns when it is dismissed.
    int Execute();

private:
    void ShowDetails(bool shown);

    QLabel* instruction_;
    QLabel* content_;
    QLabel* details_;
    QPushButton* expander_;
    QPushButton* okButton_;
    QString expandedCaption_;
    QString collapsedCaption_;
};

} // namespace quorvel::ui
