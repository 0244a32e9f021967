#include "personpicker.h"

#include "persondirectory.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>

#include <algorithm>

PersonPicker::PersonPicker(const PersonDirectory &persons, QWidget *parent)
    : QListWidget(parent), m_persons(persons)
{
    setObjectName(QStringLiteral("Personen"));
    setAccessibleName(QStringLiteral("Bekannte Personen"));
    setAccessibleDescription(QStringLiteral("Pfeiltasten und Eingabetaste wählen eine Person, "
                                            "Escape schließt die Liste."));
    setFocusPolicy(Qt::NoFocus); // the field keeps the focus while the list is open
    setUniformItemSizes(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    hide();
    connect(this, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { pick(row(item)); });
    // A new reading while the list is open: the same text, the persons of now.
    connect(&m_persons, &PersonDirectory::read, this, [this] {
        if (isVisible() && m_field)
            offer(m_field);
    });
}

void PersonPicker::attach(QLineEdit *field)
{
    field->installEventFilter(this);
    connect(field, &QLineEdit::textEdited, this, [this, field] { offer(field); });
}

void PersonPicker::offer(QLineEdit *field)
{
    const QString current = currentRow() >= 0 ? m_offered.at(currentRow())->fileName : QString();
    m_field = field;
    m_reading = m_persons.persons();
    m_offered = m_reading->matching(field->text(), mostOffered);
    clear();
    if (m_offered.empty()) {
        hide();
        return;
    }
    for (const KnownPerson *person : m_offered) {
        auto *item = new QListWidgetItem(person->shown, this);
        item->setData(Qt::AccessibleTextRole, person->spoken);
        if (person->fileName == current)
            setCurrentItem(item);
    }
    const int rows = std::min<int>(count(), visibleRows);
    const int frame = 2 * frameWidth();
    const int width = std::max(field->width(), sizeHintForColumn(0) + frame +
                                                   verticalScrollBar()->sizeHint().width());
    const QRect under = field->geometry();
    setGeometry(under.left(), under.bottom() + 1, width, rows * sizeHintForRow(0) + frame);
    show();
    raise();
}

bool PersonPicker::moveBy(int rows)
{
    const int row =
        std::clamp(currentRow() < 0 && rows < 0 ? count() : currentRow() + rows, 0, count() - 1);
    setCurrentRow(row);
    return true;
}

void PersonPicker::pick(int row)
{
    if (row < 0 || std::size_t(row) >= m_offered.size())
        return;
    const KnownPerson person = *m_offered.at(row);
    hide();
    emit picked(person);
}

bool PersonPicker::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_field || !isVisible())
        return false;
    if (event->type() == QEvent::FocusOut) {
        hide();
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    switch (static_cast<QKeyEvent *>(event)->key()) {
    case Qt::Key_Down:
        return moveBy(1);
    case Qt::Key_Up:
        return moveBy(-1);
    case Qt::Key_PageDown:
        return moveBy(visibleRows);
    case Qt::Key_PageUp:
        return moveBy(-visibleRows);
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (currentRow() < 0) {
            hide();
            return false;
        }
        pick(currentRow());
        return true;
    case Qt::Key_Escape:
        hide();
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        hide();
        return false;
    default:
        return false;
    }
}
