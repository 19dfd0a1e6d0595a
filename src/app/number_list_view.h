#pragma once

#include <QListView>
#include <vector>

#include "recipients/entry_list.h"

namespace zelvo::app {

class EntryModel;

// The number list: each click or Space toggles the pick of one entry and leaves the others
// alone. pickToggled() is emitted for every change of a pick that the user makes, never for changes
// made through this class's own functions.
class NumberListView : public QListView {
    Q_OBJECT
public:
    explicit NumberListView(QWidget* parent = nullptr);

    int count() const;
    // All entry texts in list order; a copy is cheap, it shares the texts.
    const recipients::EntryList& entries() const;
    void addEntry(QStringView text);
    void setEntries(recipients::EntryList entries);
    void clearEntries();

    std::vector<bool> picks() const;
    // Clears or sets a pick without raising pickToggled().
    void setPicked(int row, bool picked);
    // Row of the entry that has the focus (the one last clicked), -1 when none.
    int currentRow() const;

signals:
    void pickToggled();
    // The Delete key was pressed in the list.
    void deleteRequested();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    EntryModel* model_;
    bool programChange_ = false;
};

}  // namespace zelvo::app
