#pragma once
// Paints one row of the source list: the file's icon, name and information,
// its status (range, format, "Ready!"/"Success!"/"Failed!") or, while it
// converts, a progress bar, the output format's icon (opens the output when
// one exists) and, while the row is hovered, a remove button. Also draws
// the row's hover band, selection and separator.

#include <QStyledItemDelegate>

class QVSourceTableCellView;

class QVSourceTableCellViewDelegate {
public:
    virtual ~QVSourceTableCellViewDelegate() = default;
    virtual void QVSourceTableCellViewDidPressRemove(QVSourceTableCellView&, const QModelIndex&) {}
    virtual void QVSourceTableCellViewDidPressOpenOutputFile(QVSourceTableCellView&,
                                                             const QModelIndex&) {}
};

class QVSourceTableCellView : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int kRowHeight = 52;

    explicit QVSourceTableCellView(QObject* parent = nullptr);

    void setDelegate(QVSourceTableCellViewDelegate* d) { delegate_ = d; }
    QVSourceTableCellViewDelegate* delegate() const { return delegate_; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

    /// Where the remove button and the output icon sit in a row.
    static QRect removeButtonRect(const QRect& row);
    static QRect outputIconRect(const QRect& row);

private:
    QVSourceTableCellViewDelegate* delegate_ = nullptr;
};
