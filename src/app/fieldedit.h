#pragma once

#include <QHash>
#include <QLineEdit>
#include <QTimer>

// A text field of the window.
// - A typed-length limit binds what the operator types, pastes or drops, whatever
//   the field holds: an edit that would leave more characters than the limit and
//   more than before is refused. What the program writes is never cut.
// - A text wider than the field is given whole as tooltip and accessible
//   description, at once or, while the text keeps changing, at most every tipPauseMs.
//   With keepExponent such a text in exponent form shows as much of
//   its start as fits and then its exponent ("-4,440892…E-16") while the field is
//   not being edited, so that nobody reads it as -4.44; other texts show their
//   start. text() stays exactly as written.
class FieldEdit : public QLineEdit
{
    Q_OBJECT
public:
    static constexpr int tipPauseMs = 250;

    explicit FieldEdit(QWidget *parent, int typedLimit = 0, bool keepExponent = false);

    // What the field shows while it is not being edited.
    QString shownText() const;

protected:
    bool event(QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    friend class TypedLengthValidator;
    bool accepts(qsizetype length) const;
    QRect textRoom() const;
    bool textFits() const;
    void tipFollowsText();
    void updateWholeTextTip();

    int m_typedLimit;
    bool m_keepExponent;
    bool m_operatorInput = false; // an event of the operator is being handled
    qsizetype m_lengthBefore = 0; // of the text before the edit under way
    // Whether a text fits, by text, for the font and size as they are: a field the scale
    // writes 240 times a second shows a handful of texts over and over, and measuring one
    // costs as much as laying it out.
    mutable QHash<QString, bool> m_fits;
    QTimer m_tipPause;
    bool m_tipBehind = false; // the text changed during the pause
};
