#include "editors/completionpopup.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QListView>
#include <QPainter>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kKindRole = Qt::UserRole;
constexpr int kTypeRole = Qt::UserRole + 1;
constexpr int kWidthInCharacters = 60;
constexpr int kKindWidthInCharacters = 10;
constexpr int kPadding = 4;

} // namespace

// The entries of one completion and the rows a filter picked of them.
class CompletionListModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    void setItems(QList<editors::CompletionItem> items) {
        beginResetModel();
        m_items = std::move(items);
        m_shown.clear();
        endResetModel();
    }
    void filter(QStringView pattern) {
        beginResetModel();
        m_shown = editors::filterCompletions(m_items, pattern);
        endResetModel();
    }
    const editors::CompletionItem *item(int row) const {
        return row >= 0 && row < m_shown.size() ? &m_items[m_shown[row]] : nullptr;
    }
    int rowCount(const QModelIndex &parent = {}) const override {
        return parent.isValid() ? 0 : int(m_shown.size());
    }
    QVariant data(const QModelIndex &index, int role) const override {
        const editors::CompletionItem *shown = item(index.row());
        if (!shown) {
            return {};
        }
        switch (role) {
        case Qt::DisplayRole:
            return editors::completionLabel(*shown);
        case kKindRole:
            return shown->kind;
        case kTypeRole:
            return shown->type;
        case Qt::ToolTipRole:
            return shown->qualifiedName.isEmpty() ? QVariant() : QVariant(shown->qualifiedName);
        default:
            return {};
        }
    }

private:
    QList<editors::CompletionItem> m_items;
    QList<int> m_shown;
};

namespace {

// Paints a row as three columns: the kind in grey, the label, the type in grey at the right.
class CompletionRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override {
        const bool selected = option.state.testFlag(QStyle::State_Selected);
        const QPalette &colours = option.palette;
        painter->fillRect(option.rect, selected ? colours.highlight() : colours.base());
        const QColor text = selected ? colours.highlightedText().color() : colours.text().color();
        const QColor quiet = selected ? text : colours.placeholderText().color();
        const int kindWidth = option.fontMetrics.horizontalAdvance(u'm') * kKindWidthInCharacters;
        QRect area = option.rect.adjusted(kPadding, 0, -kPadding, 0);
        painter->setPen(quiet);
        painter->drawText(area.adjusted(0, 0, kindWidth - area.width(), 0),
                          Qt::AlignLeft | Qt::AlignVCenter, index.data(kKindRole).toString());
        area.setLeft(area.left() + kindWidth);
        const QString type = index.data(kTypeRole).toString();
        const int typeAdvance = option.fontMetrics.horizontalAdvance(type);
        const int typeWidth = std::min(typeAdvance, area.width() / 3);
        painter->drawText(area, Qt::AlignRight | Qt::AlignVCenter,
                          typeAdvance <= typeWidth
                              ? type
                              : option.fontMetrics.elidedText(type, Qt::ElideLeft, typeWidth));
        painter->setPen(text);
        area.setRight(area.right() - typeWidth - kPadding * 2);
        painter->drawText(
            area, Qt::AlignLeft | Qt::AlignVCenter,
            option.fontMetrics.elidedText(index.data().toString(), Qt::ElideRight, area.width()));
    }
};

} // namespace

CompletionPopup::CompletionPopup(QWidget *editor)
    : QFrame(editor, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
    , m_list(new QListView(this))
    , m_model(new CompletionListModel(this)) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(m_list);
    m_list->setModel(m_model);
    m_list->setItemDelegate(new CompletionRowDelegate(m_list));
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setUniformItemSizes(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(m_list, &QListView::doubleClicked, this, [this](const QModelIndex &index) {
        m_list->setCurrentIndex(index);
        emit chosen();
    });
}

CompletionPopup::~CompletionPopup() = default;

void CompletionPopup::setItems(QList<editors::CompletionItem> items) {
    m_model->setItems(std::move(items));
}

bool CompletionPopup::filter(QStringView pattern) {
    m_model->filter(pattern);
    if (m_model->rowCount() == 0) {
        return false;
    }
    m_list->setCurrentIndex(m_model->index(0));
    return true;
}

const editors::CompletionItem *CompletionPopup::currentItem() const {
    return m_model->item(m_list->currentIndex().row());
}

void CompletionPopup::moveCurrent(int rows) {
    const int count = m_model->rowCount();
    if (count == 0) {
        return;
    }
    const int row = std::clamp(m_list->currentIndex().row() + rows, 0, count - 1);
    m_list->setCurrentIndex(m_model->index(row));
}

void CompletionPopup::placeAt(const QPoint &below, const QPoint &above) {
    // In the editor's font, whatever it is by now.
    if (m_list->font() != parentWidget()->font()) {
        m_list->setFont(parentWidget()->font());
    }
    const QFontMetrics metrics(m_list->font());
    const int rowHeight = std::max(m_list->sizeHintForRow(0), metrics.height());
    const int rows = std::clamp(m_model->rowCount(), 1, kVisibleRows);
    const QSize size(metrics.horizontalAdvance(u'm') * kWidthInCharacters,
                     rows * rowHeight + 2 * m_list->frameWidth() + 2);
    QPoint at = below;
    if (const QScreen *screen = QApplication::screenAt(below)) {
        const QRect room = screen->availableGeometry();
        if (at.y() + size.height() > room.bottom()) {
            at.setY(above.y() - size.height());
        }
        at.setX(
            std::clamp(at.x(), room.left(), std::max(room.left(), room.right() - size.width())));
    }
    setGeometry(QRect(at, size));
}

int CompletionPopup::rowCount() const {
    return m_model->rowCount();
}

QString CompletionPopup::rowText(int row) const {
    const QModelIndex index = m_model->index(row);
    const QString type = index.data(kTypeRole).toString();
    return index.data(kKindRole).toString() + QLatin1Char(' ') + index.data().toString()
           + (type.isEmpty() ? QString() : QStringLiteral(" : ") + type);
}
