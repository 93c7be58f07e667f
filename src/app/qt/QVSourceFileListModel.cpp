#include "QVSourceFileListModel.h"

#include "QVSourceItemText.h"

#include "app/QVSourceFileItem.h"
#include "platform/Files.h"

#include <QDataStream>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include <algorithm>
#include <set>

#include <sys/stat.h>

const char* const QVSourceFileListModel::kMovedRowsType = "MOVED_ROWS_TYPE";

namespace {
QString mimeMovedRows() {
    return QStringLiteral("application/x-corvala-") + QLatin1String(QVSourceFileListModel::kMovedRowsType);
}
} // namespace

QVSourceFileListModel::QVSourceFileListModel(QObject* parent) : QAbstractListModel(parent) {}

int QVSourceFileListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(items_.size());
}

QVSourceFileListModel::Item QVSourceFileListModel::itemAt(int row) const {
    if (row < 0 || row >= static_cast<int>(items_.size()))
        return nullptr;
    return items_[static_cast<size_t>(row)];
}

int QVSourceFileListModel::indexOfItem(const QVSourceFileItem* item) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() == item)
            return static_cast<int>(i);
    return -1;
}

namespace {
// Size and modification time, or nothing for a file that is gone: a cheap
// look that tells when the texts read from the document are stale.
std::string fileStamp(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        return {};
    return std::to_string(st.st_size) + ":" + std::to_string(st.st_mtim.tv_sec) + "." +
           std::to_string(st.st_mtim.tv_nsec);
}
} // namespace

const QVSourceFileListModel::Cache& QVSourceFileListModel::cacheFor(const Item& item) const {
    const std::string stamp = fileStamp(item->sourcePath());
    auto it = cache_.find(item.get());
    if (it != cache_.end() && it->second.stamp == stamp)
        return it->second;
    if (it != cache_.end())
        item->rememberSourcePages(0); // changed or gone: count its pages again
    Cache fresh{QVSourceItemText::icon(*item), QVSourceItemText::info(*item), stamp};
    if (it == cache_.end())
        it = cache_.emplace(item.get(), fresh).first;
    else
        it->second = fresh;
    return it->second;
}

void QVSourceFileListModel::setLastError(const QVSourceFileItem* item, std::string text) {
    if (text.empty())
        lastErrors_.erase(item);
    else
        lastErrors_[item] = std::move(text);
}

std::string QVSourceFileListModel::lastError(const QVSourceFileItem* item) const {
    auto it = lastErrors_.find(item);
    return it == lastErrors_.end() ? std::string() : it->second;
}

QVariant QVSourceFileListModel::data(const QModelIndex& index, int role) const {
    const Item item = itemAt(index.row());
    if (!item)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case TitleRole:
        return QString::fromStdString(platform::lastPathComponent(item->sourcePath()));
    case Qt::ToolTipRole: {
        // The path, and for a failed file why it failed.
        const QString why = QVSourceItemText::failure(*item, lastError(item.get()));
        const QString path = QString::fromStdString(item->sourcePath());
        return why.isEmpty() ? path : path + QStringLiteral("\n") + why;
    }
    case InfoRole:
        return cacheFor(item).info;
    case StatusRole:
        return QVSourceItemText::status(*item);
    case SourceIconRole:
        return cacheFor(item).icon;
    case OutputIconRole:
        return QString::fromStdString(item->outputFileIcon().value_or("icon_unknown"));
    case OutputEnabledRole:
        return item->outputFileIconEnable();
    case StatusIconRole: {
        const QString status = QVSourceItemText::status(*item);
        if (status.endsWith(QLatin1String("Success!")))
            return QStringLiteral("status_success");
        if (status.endsWith(QLatin1String("Failed!")))
            return QStringLiteral("status_failure");
        return QStringLiteral("POI_History");
    }
    case ProgressRole:
        return item.get() == converting_ ? progress_ : 0.0;
    case ConvertingRole:
        return item.get() == converting_;
    default:
        return {};
    }
}

Qt::ItemFlags QVSourceFileListModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    // Rows are not drop targets: a drop lands between rows.
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}

Qt::DropActions QVSourceFileListModel::supportedDropActions() const {
    return Qt::CopyAction | Qt::MoveAction;
}

Qt::DropActions QVSourceFileListModel::supportedDragActions() const { return Qt::MoveAction; }

QStringList QVSourceFileListModel::mimeTypes() const {
    return {QStringLiteral("text/uri-list"), mimeMovedRows()};
}

QMimeData* QVSourceFileListModel::mimeData(const QModelIndexList& indexes) const {
    std::vector<int> rows;
    for (const QModelIndex& index : indexes)
        if (index.isValid())
            rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << static_cast<qint32>(rows.size());
    for (int r : rows)
        out << static_cast<qint32>(r);
    auto* mime = new QMimeData;
    mime->setData(mimeMovedRows(), bytes);
    // Other applications get the files themselves.
    QList<QUrl> urls;
    for (int r : rows)
        urls << QUrl::fromLocalFile(QString::fromStdString(items_[static_cast<size_t>(r)]->sourcePath()));
    mime->setUrls(urls);
    return mime;
}

bool QVSourceFileListModel::canDropMimeData(const QMimeData* data, Qt::DropAction, int row, int,
                                            const QModelIndex& parent) const {
    if (!data)
        return false;
    // A drop onto a row (rather than between rows) is refused.
    if (parent.isValid() && row < 0)
        return false;
    return data->hasFormat(mimeMovedRows()) || data->hasUrls();
}

bool QVSourceFileListModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row,
                                         int column, const QModelIndex& parent) {
    if (!canDropMimeData(data, action, row, column, parent))
        return false;
    const int dropRow = row < 0 ? rowCount() : row;
    if (data->hasFormat(mimeMovedRows())) {
        QDataStream in(data->data(mimeMovedRows()));
        qint32 n = 0;
        in >> n;
        std::vector<int> rows;
        for (qint32 i = 0; i < n && !in.atEnd(); ++i) {
            qint32 r = -1;
            in >> r;
            rows.push_back(r);
        }
        const std::vector<int> now = moveRowsTo(rows, dropRow);
        emit rowsMoved(QList<int>(now.begin(), now.end()));
        // The rows are in place already: the view must not remove the
        // originals as it would after a move to another model.
        return false;
    }
    QStringList paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    if (!paths.isEmpty())
        emit filesDropped(paths, dropRow);
    return true;
}

void QVSourceFileListModel::insertItems(int row, const std::vector<Item>& items) {
    if (items.empty())
        return;
    row = std::clamp(row, 0, rowCount());
    beginInsertRows({}, row, row + static_cast<int>(items.size()) - 1);
    items_.insert(items_.begin() + row, items.begin(), items.end());
    endInsertRows();
}

void QVSourceFileListModel::removeRowsAt(std::vector<size_t> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    // From the bottom up, so the rows still to remove keep their numbers.
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        if (*it >= items_.size())
            continue;
        const int r = static_cast<int>(*it);
        beginRemoveRows({}, r, r);
        cache_.erase(items_[*it].get());
        lastErrors_.erase(items_[*it].get());
        if (items_[*it].get() == converting_)
            converting_ = nullptr;
        items_.erase(items_.begin() + r);
        endRemoveRows();
    }
}

std::vector<int> QVSourceFileListModel::moveRowsTo(std::vector<int> rows, int dropRow) {
    std::set<int> unique;
    for (int r : rows)
        if (r >= 0 && r < rowCount())
            unique.insert(r);
    if (unique.empty())
        return {};
    dropRow = std::clamp(dropRow, 0, rowCount());
    std::vector<Item> moved;
    std::vector<Item> rest;
    int above = 0;
    for (int r = 0; r < rowCount(); ++r) {
        if (unique.count(r)) {
            moved.push_back(items_[static_cast<size_t>(r)]);
            if (r < dropRow)
                ++above;
        } else {
            rest.push_back(items_[static_cast<size_t>(r)]);
        }
    }
    const int at = dropRow - above;
    beginResetModel();
    rest.insert(rest.begin() + at, moved.begin(), moved.end());
    items_ = std::move(rest);
    endResetModel();
    std::vector<int> now;
    for (int i = 0; i < static_cast<int>(moved.size()); ++i)
        now.push_back(at + i);
    return now;
}

void QVSourceFileListModel::setConversion(const QVSourceFileItem* item, double progress) {
    const QVSourceFileItem* before = converting_;
    converting_ = item;
    progress_ = item ? progress : 0;
    if (before && before != item)
        refreshItem(before);
    if (item)
        refreshItem(item);
}

void QVSourceFileListModel::refreshItem(const QVSourceFileItem* item) {
    const int row = indexOfItem(item);
    if (row < 0)
        return;
    const QModelIndex i = index(row);
    emit dataChanged(i, i);
}

void QVSourceFileListModel::refreshAll() {
    // The cached icon and page count stay: neither changes while listed, and
    // reading them again opens every document on the GUI thread.
    if (!items_.empty())
        emit dataChanged(index(0), index(rowCount() - 1));
}
