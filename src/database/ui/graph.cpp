#include "database/ui/graph.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QScrollArea>
#include <QVBoxLayout>

namespace k4 {

QPixmap fittedPixmap(const QImage& image, const QSize& size) {
    if (image.isNull() || size.isEmpty()) return {};
    return QPixmap::fromImage(image.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

TGraph::TGraph(const QImage& image, QWidget* parent) : QDialog(parent), image_(image) {
    setObjectName("Graph");
    setWindowTitle(QStringLiteral("Grafika obiektu"));
    scroll_ = new QScrollArea(this);
    scroll_->setAlignment(Qt::AlignCenter);
    Image1 = new QLabel;
    Image1->setObjectName("Image1");
    Image1->setAlignment(Qt::AlignCenter);
    scroll_->setWidget(Image1);
    scroll_->setWidgetResizable(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(scroll_);
    resize(597, 400);
    fit();
}

void TGraph::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Escape) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TGraph::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    fit();
}

void TGraph::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Only now is the scroll box laid out at the window's size.
    layout()->activate();
    fit();
}

void TGraph::fit() { Image1->setPixmap(fittedPixmap(image_, scroll_->viewport()->size() - QSize(4, 4))); }

} // namespace k4
