#include "app/number_list_view.h"

#include <QAbstractListModel>
#include <QKeyEvent>
#include <QMouseEvent>

namespace zelvo::app {

namespace {

// Laying out an entry of megabytes took the list seconds on every paint, and nobody reads that
// far along one line: the list shows the start of a long entry. The entry keeps its whole text.
constexpr qsizetype kShownLength = 1000;

}  // namespace

// The entries as rows. A row's text is made only when the view asks for it, which it does for
// the rows it shows, so a list of 32,767 entries costs no string per entry.
class EntryModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(entries_.size());
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !checkIndex(index, CheckIndexOption::IndexIsValid))
            return {};
        const QStringView text = entries_[index.row()];
        if (text.size() <= kShownLength) return text.toString();
        qsizetype shown = kShownLength;
        if (text[shown - 1].isHighSurrogate()) --shown;
        return text.first(shown).toString() + QChar(0x2026);
    }

    const recipients::EntryList& entries() const { return entries_; }

    void setEntries(recipients::EntryList entries) {
        beginResetModel();
        entries_ = std::move(entries);
        endResetModel();
    }

    void append(QStringView text) {
        const int row = int(entries_.size());
        beginInsertRows({}, row, row);
        entries_.append(text);
        endInsertRows();
    }

private:
    recipients::EntryList entries_;
};

NumberListView::NumberListView(QWidget* parent) : QListView(parent), model_(new EntryModel(this)) {
    setModel(model_);
    setSelectionMode(QAbstractItemView::MultiSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);
    setUniformItemSizes(true);  // keeps a full phone book of 32,767 entries quick to lay out
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!programChange_) {
            emit pickToggled();
        }
    });
}

int NumberListView::count() const {
    return model_->rowCount();
}

const recipients::EntryList& NumberListView::entries() const {
    return model_->entries();
}

void NumberListView::addEntry(QStringView text) {
    model_->append(text);
}

void NumberListView::setEntries(recipients::EntryList entries) {
    programChange_ = true;
    model_->setEntries(std::move(entries));
    programChange_ = false;
}

void NumberListView::clearEntries() {
    setEntries({});
}

std::vector<bool> NumberListView::picks() const {
    std::vector<bool> flags(std::size_t(count()), false);
    for (const QModelIndex& index : selectionModel()->selectedIndexes()) {
        flags[std::size_t(index.row())] = true;
    }
    return flags;
}

void NumberListView::setPicked(int row, bool picked) {
    programChange_ = true;
    selectionModel()->select(model_->index(row),
                             picked ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
    programChange_ = false;
}

int NumberListView::currentRow() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : -1;
}

void NumberListView::mouseMoveEvent(QMouseEvent* event) {
    // Dragging over entries would toggle every entry passed; one click picks one entry.
    if (event->buttons() != Qt::NoButton) {
        event->accept();
        return;
    }
    QListView::mouseMoveEvent(event);
}

void NumberListView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::SelectAll)) {
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        event->accept();
        emit deleteRequested();
        return;
    }
    QListView::keyPressEvent(event);
}

}  // namespace zelvo::app
