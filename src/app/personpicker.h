#pragma once

#include "records/knownpersons.h"

#include <QListWidget>

#include <memory>
#include <vector>

class QLineEdit;
class PersonDirectory;

// The drop-down list of known persons under a name field. It opens while the operator
// types into an attached field and offers the persons whose first or last name starts
// with what the field holds; the arrow keys move in it and Enter picks, Escape closes
// it, a click picks. The field keeps the focus and its text: typing on without
// picking changes nothing.
class PersonPicker : public QListWidget
{
    Q_OBJECT
public:
    static constexpr std::size_t mostOffered = 50;
    static constexpr int visibleRows = 8;

    PersonPicker(const PersonDirectory &persons, QWidget *parent);

    void attach(QLineEdit *field);

Q_SIGNALS:
    void picked(const KnownPerson &person);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void offer(QLineEdit *field);
    void pick(int row);
    bool moveBy(int rows);

    const PersonDirectory &m_persons;
    std::shared_ptr<const KnownPersons> m_reading; // holds the offered persons
    std::vector<const KnownPerson *> m_offered;
    QLineEdit *m_field = nullptr; // the one typed into
};
