#pragma once

#include "BrowseTreeModel.h"

#include <QWidget>
#include <optional>

class QSplitter;
class QTreeView;
class TitleListFilter;

// The browse panel at the left of the title list: Genres, Directors, Decades and Actors
// with the number of titles of each value in the list shown. Choosing a value narrows the
// list through the find filter (beside any query); choosing a branch shows every title.
// The choice is kept across list switches and changes, found again by the letter rule.
// Hidden (the default), it counts nothing and filters nothing.
class BrowsePanel : public QWidget
{
    Q_OBJECT

public:
    // The connection string, the filter and the splitter (the panel is its first pane,
    // taking its width from the pane after it) outlive the panel.
    BrowsePanel(const QString &connectionString, TitleListFilter &filter, QSplitter &splitter);

    // The list (0 Inventory, 1 Wishlist) is about to be read again, after a switch or a
    // change: the branches are counted again (when shown) and the choice's titles given
    // to the filter for the new list. Throws DbError, as the list's own read does.
    void ListChanging(int list);

    // Shows or hides the panel; the state is remembered.
    void SetShown(bool shown);
    bool IsShown() const { return !isHidden(); }
    // The shown state, width and open branch remembered from the last start.
    void RestoreState();

    // What the choice shows ("Genres: Drama"), empty without one.
    QString ChoiceText() const;

    QSize sizeHint() const override;

    QTreeView *Tree() const { return m_tree; }
    const BrowseTreeModel &Model() const { return *m_model; }

Q_SIGNALS:
    void ShownChanged(bool shown);

private:
    struct Choice
    {
        BrowseTreeModel::Branch branch;
        NameCount value;
    };

    void recount();
    BrowseCounts::AllBranches count() const;
    void currentChanged(const QModelIndex &current);
    void choose(std::optional<Choice> choice);
    std::optional<QSet<qint64>> choiceTitles() const;
    void selectChoice();
    void saveState() const;

    const QString &m_connectionString;
    TitleListFilter &m_filter;
    QSplitter &m_splitter;
    QTreeView *m_tree;
    BrowseTreeModel *m_model;
    std::optional<Choice> m_choice;
    int m_list = 0;
    bool m_counted = false;   // the tree holds m_list's current counts
    bool m_selecting = false; // the program, not the user, moves the tree's current row
    int m_width = 240;
};
