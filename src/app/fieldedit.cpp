#include "fieldedit.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QValidator>

#include <utility>

// QLineEdit::setMaxLength would cut what the program writes, and a plain length
// validator stops binding once the program has written a longer text (QLineEdit
// only undoes an edit that turns valid input invalid). This one tells the
// program's writes, always accepted, from the operator's edits.
class TypedLengthValidator : public QValidator
{
public:
    explicit TypedLengthValidator(FieldEdit *edit) : QValidator(edit), m_edit(edit) {}

    State validate(QString &input, int &) const override
    {
        return m_edit->accepts(input.size()) ? Acceptable : Invalid;
    }

private:
    FieldEdit *m_edit;
};

namespace {

// QLineEdit's own margins around the text inside the contents rectangle.
constexpr int horizontalMargin = 2;
constexpr int verticalMargin = 1;
constexpr qsizetype fitsKept = 64; // texts whose fit is remembered

} // namespace

FieldEdit::FieldEdit(QWidget *parent, int typedLimit, bool keepExponent)
    : QLineEdit(parent), m_typedLimit(typedLimit), m_keepExponent(keepExponent)
{
    if (m_typedLimit > 0)
        setValidator(new TypedLengthValidator(this));
    connect(this, &QLineEdit::textChanged, this, [this](const QString &text) {
        m_lengthBefore = text.size();
        tipFollowsText();
    });
    m_tipPause.setSingleShot(true);
    m_tipPause.setInterval(tipPauseMs);
    connect(&m_tipPause, &QTimer::timeout, this, [this] {
        if (std::exchange(m_tipBehind, false))
            tipFollowsText();
    });
}

void FieldEdit::tipFollowsText()
{
    // The scale writes a field up to 240 times a second; its tip and description, each
    // set with an event and one for accessibility, follow a few times a second.
    if (m_tipPause.isActive()) {
        m_tipBehind = true;
        return;
    }
    updateWholeTextTip();
    m_tipPause.start();
}

bool FieldEdit::accepts(qsizetype length) const
{
    return !m_operatorInput || length <= m_typedLimit || length <= m_lengthBefore;
}

bool FieldEdit::event(QEvent *event)
{
    // Keys, input methods, drops and middle-button pastes all arrive here.
    const bool outer = std::exchange(m_operatorInput, true);
    const bool result = QLineEdit::event(event);
    m_operatorInput = outer;
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange ||
        event->type() == QEvent::ContentsRectChange) {
        m_fits.clear();
        updateWholeTextTip();
    }
    return result;
}

void FieldEdit::contextMenuEvent(QContextMenuEvent *event)
{
    // Modal, so that "Einfügen" from the menu runs inside event() as operator input.
    QMenu *menu = createStandardContextMenu();
    menu->exec(event->globalPos());
    delete menu;
}

QRect FieldEdit::textRoom() const
{
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &panel, this);
    return contents.marginsRemoved(textMargins())
        .adjusted(horizontalMargin, verticalMargin, -horizontalMargin, -verticalMargin);
}

bool FieldEdit::textFits() const
{
    if (const auto known = m_fits.constFind(text()); known != m_fits.cend())
        return *known;
    if (m_fits.size() >= fitsKept)
        m_fits.clear();
    const bool fits = fontMetrics().horizontalAdvance(text()) <= textRoom().width();
    m_fits.insert(text(), fits);
    return fits;
}

QString FieldEdit::shownText() const
{
    static const QRegularExpression exponent(QStringLiteral("[eE][+-]?[0-9]+$"));
    if (!m_keepExponent || !text().contains(QLatin1Char('E'), Qt::CaseInsensitive) || textFits())
        return text();
    const QRegularExpressionMatch match = exponent.match(text());
    if (!match.hasMatch())
        return text();
    const QString tail = match.captured();
    const QString start = text().left(match.capturedStart());
    const int room = textRoom().width() - fontMetrics().horizontalAdvance(tail);
    return fontMetrics().elidedText(start, Qt::ElideRight, room) + tail;
}

void FieldEdit::paintEvent(QPaintEvent *event)
{
    // An opaque field paints what the style's rounded panel leaves out in the window's colour.
    if (testAttribute(Qt::WA_OpaquePaintEvent) && parentWidget()) {
        QPainter background(this);
        background.fillRect(event->rect(),
                            parentWidget()->palette().brush(parentWidget()->backgroundRole()));
    }
    if (hasFocus() || shownText() == text()) {
        QLineEdit::paintEvent(event);
        return;
    }
    QPainter painter(this);
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, this);
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(textRoom(), Qt::AlignLeft | Qt::AlignVCenter, shownText());
}

void FieldEdit::resizeEvent(QResizeEvent *event)
{
    QLineEdit::resizeEvent(event);
    m_fits.clear();
    updateWholeTextTip();
}

void FieldEdit::updateWholeTextTip()
{
    // Set only when it changes: each setting is an event, and one for accessibility.
    const QString whole = textFits() ? QString() : text();
    if (toolTip() != whole)
        setToolTip(whole);
    if (accessibleDescription() != whole)
        setAccessibleDescription(whole);
}
