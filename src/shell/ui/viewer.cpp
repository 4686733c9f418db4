#include "shell/ui/viewer.h"

#include <QAbstractListModel>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace k4 {

namespace {
constexpr int kItemHeight = TViewer::kItemHeight;
constexpr int kHighlightRole = Qt::UserRole + 1;
} // namespace

// n placeholder lines; the text of each is asked from the window on drawing.
class ViewerModel : public QAbstractListModel {
public:
    explicit ViewerModel(TViewer& viewer) : viewer_(viewer) {}

    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : count_; }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= count_) return {};
        if (role == Qt::DisplayRole) return viewer_.lineText(index.row());
        if (role == kHighlightRole) return viewer_.lineHighlighted(index.row());
        return {};
    }

    void setCount(int n) {
        beginResetModel();
        count_ = n < 0 ? 0 : n;
        endResetModel();
    }
    int count() const { return count_; }

private:
    TViewer& viewer_;
    int count_ = 0;
};

namespace {
class ViewerDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette& palette = option.palette;
        painter->fillRect(option.rect, selected ? palette.highlight() : palette.base());
        QColor colour = selected ? palette.highlightedText().color() : palette.text().color();
        if (index.data(kHighlightRole).toBool()) colour = Qt::red;
        painter->setPen(colour);
        painter->drawText(option.rect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                          index.data(Qt::DisplayRole).toString());
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return {option.rect.width(), kItemHeight};
    }
};
} // namespace

TViewer::TViewer(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName("Viewer");
    model_ = new ViewerModel(*this);

    ListBox = new QListView(this);
    ListBox->setObjectName("ListBox");
    ListBox->setUniformItemSizes(true);
    ListBox->setModel(model_);
    ListBox->setItemDelegate(new ViewerDelegate(ListBox));
    ListBox->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBox->installEventFilter(this);
    connect(ListBox, &QListView::doubleClicked, this,
            [this](const QModelIndex& index) { ListBoxDblClick(index.row()); });

    ButtonBox = new QGroupBox(this);
    EndBtn = new QPushButton(QStringLiteral("&Koniec"), ButtonBox);
    EndBtn->setObjectName("EndBtn");
    EndBtn->setDefault(true); // Enter closes; Escape closes as every dialog does
    connect(EndBtn, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout(ButtonBox);
    buttons->addStretch();
    buttons->addWidget(EndBtn);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ListBox, 1);
    layout->addWidget(ButtonBox);
    resize(420, 360);
}

TViewer::~TViewer() { delete model_; }

bool TViewer::ViewLine(int, std::string& text, int) {
    text.clear();
    return false;
}

void TViewer::ListBoxDblClick(int) {}

void TViewer::SetViewCount(int n) {
    model_->setCount(n);
    if (n > 0) ListBox->setCurrentIndex(model_->index(n - 1, 0));
}

int TViewer::viewCount() const { return model_->count(); }

int TViewer::currentLine() const {
    QModelIndex index = ListBox->currentIndex();
    return index.isValid() ? index.row() : -1;
}

QString TViewer::lineText(int line) {
    std::string text;
    ViewLine(line, text, kLineSize);
    return QString::fromStdString(text).left(kLineSize);
}

bool TViewer::lineHighlighted(int line) {
    std::string text;
    return ViewLine(line, text, kLineSize);
}

bool TViewer::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ListBox && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
        if (int line = currentLine(); line >= 0) ListBoxDblClick(line);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace k4
