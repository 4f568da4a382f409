#include "history/run_list_model.h"

#include <QSqlError>
#include <QSqlQuery>

#include <cmath>

namespace history {

namespace {

// The table's columns in the database, in Column order.
const char* const kColumns[] = {"started_local", "station", "profile_name", "board", "operator_name", "paste", "outcome",
                                "verdict", "pwi", "peak_c", "above_liquidus_s", "length_s", "run_id"};
// What the date column sorts by: the start in UTC, which has its index.
const char* const kDateOrder = "started_utc";
const QStringList kHeaders{"Date", "Station", "Profile", "Board", "Operator", "Paste", "Outcome",
                           "Verdict", "PWI", "Peak", "TAL", "Length"};

QString likePattern(const QString& text) {
    QString t = text;
    t.replace('\\', "\\\\").replace('%', "\\%").replace('_', "\\_");
    return '%' + t + '%';
}

int countOf(QSqlDatabase db, const QString& sql, const QVariantList& values) {
    QSqlQuery q(db);
    q.prepare(sql);
    for (const QVariant& v : values) q.addBindValue(v);
    return q.exec() && q.next() ? q.value(0).toInt() : 0;
}

}  // namespace

RunListModel::RunListModel(QSqlDatabase db, QObject* parent) : QSqlQueryModel(parent), db_(std::move(db)) {}

void RunListModel::setDatabase(QSqlDatabase db) {
    db_ = std::move(db);
    refresh();
}

void RunListModel::setFilterText(const QString& text) {
    if (text.trimmed() == filter_) return;
    filter_ = text.trimmed();
    refresh();
}

void RunListModel::setDateRange(std::optional<QDate> from, std::optional<QDate> to) {
    from_ = from;
    to_ = to;
    refresh();
}

void RunListModel::setStation(const QString& station) {
    station_ = station;
    refresh();
}

QStringList RunListModel::stations() const {
    QStringList names;
    QSqlQuery q(db_);
    if (q.exec("SELECT DISTINCT station FROM runs WHERE station <> '' ORDER BY station"))
        while (q.next()) names << q.value(0).toString();
    return names;
}

void RunListModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= RunId) return;
    sortColumn_ = column;
    order_ = order;
    refresh();
}

QString RunListModel::whereClause(QVariantList& values) const {
    QStringList terms;
    if (!filter_.isEmpty()) {
        terms << "(board LIKE ? ESCAPE '\\' OR operator_name LIKE ? ESCAPE '\\' OR profile_name LIKE ? ESCAPE '\\')";
        values << likePattern(filter_) << likePattern(filter_) << likePattern(filter_);
    }
    if (!station_.isEmpty()) terms << "station = ?", values << station_;
    if (from_) {
        terms << "started_local >= ?";
        values << from_->toString("yyyy-MM-dd");
    }
    if (to_) {
        terms << "started_local < ?";
        values << to_->addDays(1).toString("yyyy-MM-dd");
    }
    return terms.isEmpty() ? QString() : " WHERE " + terms.join(" AND ");
}

void RunListModel::refresh() {
    QVariantList values;
    const QString where = whereClause(values);
    const QString column = sortColumn_ == Date ? kDateOrder : kColumns[sortColumn_];
    const QString direction = order_ == Qt::AscendingOrder ? "ASC" : "DESC";
    QStringList names;
    for (const char* c : kColumns) names << c;
    QSqlQuery q(db_);
    q.prepare("SELECT " + names.join(", ") + " FROM runs" + where + " ORDER BY " + column + " " + direction +
              ", started_utc " + direction);
    for (const QVariant& v : values) q.addBindValue(v);
    if (!q.exec()) error_ = q.lastError().text();
    setQuery(std::move(q));
    matches_ = countOf(db_, "SELECT COUNT(*) FROM runs" + where, values);
    total_ = where.isEmpty() ? matches_ : countOf(db_, "SELECT COUNT(*) FROM runs", {});
}

QString RunListModel::runId(int row) const { return QSqlQueryModel::data(index(row, RunId)).toString(); }

void RunListModel::clearTicks() {
    ticked_.clear();
    if (rowCount() > 0) emit dataChanged(index(0, Date), index(rowCount() - 1, Date), {Qt::CheckStateRole});
}

QVariant RunListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (role == Qt::CheckStateRole && index.column() == Date)
        return ticked_.contains(runId(index.row())) ? Qt::Checked : Qt::Unchecked;
    if (role == Qt::TextAlignmentRole && index.column() >= Pwi)
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    const QVariant raw = QSqlQueryModel::data(index, Qt::DisplayRole);
    if (role != Qt::DisplayRole) return role == Qt::EditRole ? raw : QVariant();
    if (raw.isNull()) return index.column() >= Pwi ? QVariant("--") : raw;
    const double v = raw.toDouble();
    switch (index.column()) {
        case Date: return raw.toString().left(16);
        case Pwi: return QString("%1%").arg(std::lround(v));
        case Peak: return QString("%1 C").arg(std::lround(v));
        case Tal: return QString("%1 s").arg(std::lround(v));
        case Length: {
            const long s = std::lround(v);
            return QString("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QChar('0'));
        }
        default: return raw;
    }
}

bool RunListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || index.column() != Date) return false;
    const QString id = runId(index.row());
    const bool tick = value.toInt() == Qt::Checked;
    if (tick && !ticked_.contains(id)) {
        if (ticked_.size() >= kMostTicked) {
            if (tooMany_) tooMany_();
            return false;
        }
        ticked_ << id;
    } else if (!tick) {
        ticked_.removeAll(id);
    }
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags RunListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QSqlQueryModel::flags(index);
    if (index.column() == Date) f |= Qt::ItemIsUserCheckable;
    return f;
}

QVariant RunListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < kHeaders.size()) return kHeaders[section];
    return QSqlQueryModel::headerData(section, orientation, role);
}

}  // namespace history
