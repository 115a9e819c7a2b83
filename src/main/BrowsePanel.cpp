#include "BrowsePanel.h"

#include "BusyPointer.h"
#include "Connection.h"
#include "DbError.h"
#include "MessageBox.h"
#include "TitleListFilter.h"
#include "ViewSettings.h"

#include <QSplitter>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

constexpr int kMinimumListWidth = 200;

} // namespace

BrowsePanel::BrowsePanel(const QString &connectionString, TitleListFilter &filter,
                         QSplitter &splitter)
    : QWidget(&splitter),
      m_connectionString(connectionString),
      m_filter(filter),
      m_splitter(splitter),
      m_tree(new QTreeView(this)),
      m_model(new BrowseTreeModel(this))
{
    setObjectName(QStringLiteral("BrowsePanel"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 0, 8);
    m_tree->setObjectName(QStringLiteral("BrowseTree"));
    m_tree->setHeaderHidden(true);
    m_tree->setUniformRowHeights(true); // a branch of many names is laid out without measuring
    m_tree->setTextElideMode(Qt::ElideRight);
    m_tree->setModel(m_model);
    layout->addWidget(m_tree);

    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { currentChanged(current); });
    auto branchToggled = [this](const QModelIndex &index) {
        if (!m_selecting && !index.parent().isValid())
            saveState();
    };
    connect(m_tree, &QTreeView::expanded, this, branchToggled);
    connect(m_tree, &QTreeView::collapsed, this, branchToggled);
    connect(&m_splitter, &QSplitter::splitterMoved, this, [this] {
        if (IsShown() && width() > 0) {
            m_width = width();
            saveState();
        }
    });

    hide();
    m_splitter.insertWidget(0, this);
    m_splitter.setStretchFactor(0, 0);
}

void BrowsePanel::ListChanging(int list)
{
    m_list = list;
    m_counted = false;
    if (IsShown())
        recount();
    if (m_choice)
        m_filter.KeepBrowseTitles(choiceTitles());
}

void BrowsePanel::SetShown(bool shown)
{
    if (shown == IsShown())
        return;
    QList<int> sizes = m_splitter.sizes();
    if (shown) {
        if (!m_counted)
            recount();
        // The list gives the panel its width, down to a usable list; only in a narrow
        // window does the detail panel give the rest.
        show();
        if (sizes.size() == 3 && sizes[1] > 0) {
            const int fromList = std::clamp(sizes[1] - kMinimumListWidth, 0, m_width);
            const int fromDetail = std::clamp(sizes[2] - kMinimumListWidth, 0, m_width - fromList);
            sizes = {fromList + fromDetail, sizes[1] - fromList, sizes[2] - fromDetail};
            m_splitter.setSizes(sizes);
        }
    } else {
        if (width() > 0)
            m_width = width();
        choose(std::nullopt);
        hide();
        if (sizes.value(1) > 0) {
            sizes[1] += sizes[0];
            sizes[0] = 0;
            m_splitter.setSizes(sizes);
        }
    }
    saveState();
    Q_EMIT ShownChanged(shown);
}

void BrowsePanel::RestoreState()
{
    const auto settings = ViewSettings::Open();
    m_width =
        std::clamp(settings->value(QStringLiteral("browse/width"), m_width).toInt(), 80, 2000);
    const QStringList open = settings->value(QStringLiteral("browse/open")).toStringList();
    m_selecting = true;
    for (int branch = 0; branch < BrowseTreeModel::BranchCount; ++branch)
        m_tree->setExpanded(
            m_model->BranchIndex(BrowseTreeModel::Branch(branch)),
            open.contains(BrowseTreeModel::BranchName(BrowseTreeModel::Branch(branch))));
    m_selecting = false;
    if (settings->value(QStringLiteral("browse/shown"), false).toBool())
        SetShown(true);
}

QSize BrowsePanel::sizeHint() const
{
    // Before the window is laid out the splitter has no sizes to share: it asks this.
    return {m_width, QWidget::sizeHint().height()};
}

QString BrowsePanel::ChoiceText() const
{
    if (!m_choice)
        return {};
    return BrowseTreeModel::BranchName(m_choice->branch) + QStringLiteral(": ")
           + m_choice->value.name;
}

void BrowsePanel::recount()
{
    // The reset closes every branch: those open before are opened again.
    QVector<bool> open(BrowseTreeModel::BranchCount);
    for (int branch = 0; branch < BrowseTreeModel::BranchCount; ++branch)
        open[branch] = m_tree->isExpanded(m_model->BranchIndex(BrowseTreeModel::Branch(branch)));
    m_selecting = true;
    m_model->Set(count());
    for (int branch = 0; branch < BrowseTreeModel::BranchCount; ++branch)
        if (open[branch])
            m_tree->setExpanded(m_model->BranchIndex(BrowseTreeModel::Branch(branch)), true);
    selectChoice();
    m_selecting = false;
    m_counted = true;
}

BrowseCounts::AllBranches BrowsePanel::count() const
{
    try {
        const BusyPointer busy;
        const TitleListFilter::ReadAheadPause paused(m_filter);
        return BrowseCounts::ReadAll(m_connectionString, m_list);
    } catch (const DbError &error) {
        MessageBox::Failure(window(), error.Message(QStringLiteral(" counting titles.")));
        return {};
    }
}

void BrowsePanel::selectChoice()
{
    if (!m_choice) {
        m_tree->setCurrentIndex({});
        return;
    }
    // The choice's spellings in this list.
    const QModelIndex found = m_model->Find(m_choice->branch, m_choice->value);
    if (const NameCount *value = m_model->ValueAt(found))
        m_choice->value = *value; // the spellings of this list
    m_tree->setCurrentIndex(found);
    if (found.isValid())
        m_tree->scrollTo(found);
}

void BrowsePanel::currentChanged(const QModelIndex &current)
{
    if (m_selecting)
        return;
    const NameCount *value = m_model->ValueAt(current);
    try {
        choose(value ? std::optional<Choice>(Choice{BrowseTreeModel::BranchOf(current), *value})
                     : std::nullopt);
    } catch (const DbError &error) {
        MessageBox::Failure(window(), error.Message(QStringLiteral(" finding titles.")));
    }
}

void BrowsePanel::choose(std::optional<Choice> choice)
{
    m_choice = std::move(choice);
    m_filter.SetBrowseTitles(choiceTitles());
}

std::optional<QSet<qint64>> BrowsePanel::choiceTitles() const
{
    if (!m_choice)
        return std::nullopt;
    Connection connection;
    connection.Open(m_connectionString);
    const QVector<qint64> ids =
        BrowseCounts::ChosenTitles(connection, m_choice->branch, m_list, m_choice->value);
    return QSet<qint64>(ids.cbegin(), ids.cend());
}

void BrowsePanel::saveState() const
{
    const auto settings = ViewSettings::Open();
    settings->setValue(QStringLiteral("browse/shown"), IsShown());
    settings->setValue(QStringLiteral("browse/width"), m_width);
    QStringList open;
    for (int branch = 0; branch < BrowseTreeModel::BranchCount; ++branch) {
        const auto each = BrowseTreeModel::Branch(branch);
        if (m_tree->isExpanded(m_model->BranchIndex(each)))
            open << BrowseTreeModel::BranchName(each);
    }
    settings->setValue(QStringLiteral("browse/open"), open);
}
