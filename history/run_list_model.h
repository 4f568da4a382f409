#pragma once
#include <QDate>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQueryModel>
#include <QStringList>

#include <functional>
#include <optional>

namespace history {

// The runs table as the history window lists it: a query on the database, fetched a page at
// a time as the view scrolls, never a copy of every run. Sorting and filtering ask the
// database again. The first column carries a tick box for the overlay.
class RunListModel : public QSqlQueryModel {
public:
    enum Column { Date, Station, Profile, Board, Operator, Paste, Outcome, Verdict, Pwi, Peak, Tal, Length, RunId, ColumnCount };
    static constexpr int kMostTicked = 5;

    explicit RunListModel(QSqlDatabase db, QObject* parent = nullptr);
    // Lists another database's runs (this PC's or the shop's) with the filter and order kept.
    void setDatabase(QSqlDatabase db);

    // Text found in the board, the operator or the profile name; empty: every run.
    void setFilterText(const QString& text);
    // Runs started from `from` to `to` inclusive (local days); none: every date.
    void setDateRange(std::optional<QDate> from, std::optional<QDate> to);
    // The runs of one bench of a shop; empty: every bench's. The benches the database knows.
    void setStation(const QString& station);
    QStringList stations() const;
    void sort(int column, Qt::SortOrder order) override;
    // Asks the database again with the filter and order as they are.
    void refresh();
    // Runs that match the filter, and all runs.
    int matchCount() const { return matches_; }
    int totalCount() const { return total_; }

    QString runId(int row) const;
    QStringList tickedRuns() const { return ticked_; }
    void clearTicks();
    // Told when a sixth run is ticked (refused).
    void setTooManyHandler(std::function<void()> handler) { tooMany_ = std::move(handler); }

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    QString lastError() const { return error_; }

private:
    QString whereClause(QVariantList& values) const;

    QSqlDatabase db_;
    QString filter_, station_;
    std::optional<QDate> from_, to_;
    int sortColumn_ = Date;
    Qt::SortOrder order_ = Qt::DescendingOrder;
    int matches_ = 0, total_ = 0;
    QStringList ticked_;
    std::function<void()> tooMany_;
    QString error_;
};

}  // namespace history
