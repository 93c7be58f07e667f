#pragma once
// The source list as a Qt model: one row per item, in display order. The
// vector is the list itself (the queue manager's run starts from a copy of
// it). Per-item texts that need the document opened (icon, page count) are
// read once when the item is listed, so painting never opens a PDF.

#include <QAbstractListModel>
#include <QStringList>

#include <map>
#include <string>
#include <memory>
#include <vector>

class QVSourceFileItem;

class QVSourceFileListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using Item = std::shared_ptr<QVSourceFileItem>;

    enum Role {
        TitleRole = Qt::UserRole + 1, ///< the file name
        InfoRole,                     ///< "12 Pages, 1.5 MB"
        StatusRole,                   ///< "All Pages, XLSX, Success!"
        SourceIconRole,               ///< "icon_pdf" / "icon_pdf_pw"
        OutputIconRole,               ///< "icon_xlsx" ...
        OutputEnabledRole,            ///< an output file exists
        StatusIconRole,               ///< "POI_History", "status_success", "status_failure"
        ProgressRole,                 ///< 0..100 while converting
        ConvertingRole,               ///< the row's item is the one converting
    };

    /// The drag type of rows moved inside the list.
    static const char* const kMovedRowsType; // "MOVED_ROWS_TYPE"

    explicit QVSourceFileListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    Qt::DropActions supportedDropActions() const override;
    Qt::DropActions supportedDragActions() const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

    const std::vector<Item>& items() const { return items_; }
    Item itemAt(int row) const;
    int indexOfItem(const QVSourceFileItem* item) const;

    /// Inserts the items as one block at `row` (clamped to the list).
    void insertItems(int row, const std::vector<Item>& items);
    /// Removes the rows (any order, repeats ignored).
    void removeRowsAt(std::vector<size_t> rows);
    /// Moves the rows, in their order, as one block to the gap before
    /// `dropRow` (counted before the move); the gap is kept, so the rows
    /// moved from above it reduce the insertion index. Returns the new rows.
    std::vector<int> moveRowsTo(std::vector<int> rows, int dropRow);

    /// Progress of the converting row; a null item returns every row to idle.
    void setConversion(const QVSourceFileItem* item, double progress);
    /// Re-reads an item's texts (after its password or output changed).
    void refreshItem(const QVSourceFileItem* item);
    void refreshAll();
    /// The last error caught while the item converted (shown with its failure).
    void setLastError(const QVSourceFileItem* item, std::string text);
    std::string lastError(const QVSourceFileItem* item) const;

signals:
    /// Files dropped between rows, for the check before they are listed.
    void filesDropped(const QStringList& paths, int row);
    /// Rows dragged inside the list now stand at these rows.
    void rowsMoved(const QList<int>& rows);

private:
    struct Cache {
        QString icon;
        QString info;
        std::string stamp; ///< the file's size and time when read
    };
    const Cache& cacheFor(const Item& item) const;

    std::vector<Item> items_;
    mutable std::map<const QVSourceFileItem*, Cache> cache_;
    std::map<const QVSourceFileItem*, std::string> lastErrors_;
    const QVSourceFileItem* converting_ = nullptr;
    double progress_ = 0;
};
