#include "app/phone_list_box.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStringListModel>

namespace zelvo::app {

namespace {

// Laying out an entry of megabytes took the list seconds on every paint, and nobody reads that
// far along one line: the list shows the start of a long entry. The entry keeps its whole text.
constexpr qsizetype kShownLength = 1000;

class EntryModel : public QStringListModel {
public:
    using QStringListModel::QStringListModel;

    QVariant data(const QModelIndex& index, int role) const override {
        QVariant value = QStringListModel::data(index, role);
        if (role != Qt::DisplayRole) return value;
        const QString text = value.toString();
        if (text.size() <= kShownLength) return value;
        qsizetype shown = kShownLength;
        if (text[shown - 1].isHighSurrogate()) --shown;
        return QString(text.first(shown) + QChar(0x2026));
    }
};

}  // namespace

PhoneListBox::PhoneListBox(QWidget* parent) : QListView(parent), model_(new EntryModel(this)) {
    setModel(model_);
    setSelectionMode(QAbstractItemView::MultiSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);
    setUniformItemSizes(true);  // keeps a full phone book of 32,767 entries quick to lay out
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!programChange_) {
            emit Click();
        }
    });
}

int PhoneListBox::count() const {
    return model_->rowCount();
}

QStringList PhoneListBox::entries() const {
    return model_->stringList();
}

void PhoneListBox::addEntry(const QString& text) {
    const int row = model_->rowCount();
    model_->insertRows(row, 1);
    model_->setData(model_->index(row), text);
}

void PhoneListBox::setEntries(const QStringList& entries) {
    programChange_ = true;
    model_->setStringList(entries);
    programChange_ = false;
}

void PhoneListBox::clearEntries() {
    setEntries({});
}

std::vector<bool> PhoneListBox::picks() const {
    std::vector<bool> flags(std::size_t(count()), false);
    for (const QModelIndex& index : selectionModel()->selectedIndexes()) {
        flags[std::size_t(index.row())] = true;
    }
    return flags;
}

void PhoneListBox::setPicked(int row, bool picked) {
    programChange_ = true;
    selectionModel()->select(model_->index(row),
                             picked ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
    programChange_ = false;
}

int PhoneListBox::currentRow() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : -1;
}

void PhoneListBox::mouseMoveEvent(QMouseEvent* event) {
    // Dragging over entries would toggle every entry passed; one click picks one entry.
    if (event->buttons() != Qt::NoButton) {
        event->accept();
        return;
    }
    QListView::mouseMoveEvent(event);
}

void PhoneListBox::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::SelectAll)) {
        event->accept();
        return;
    }
    QListView::keyPressEvent(event);
}

}  // namespace zelvo::app
