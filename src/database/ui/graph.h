#pragma once
// "Grafika obiektu": one picture of a subscriber, scaled to the window with
// its proportions kept; Space or Esc closes it.
#include <QDialog>
#include <QImage>

class QLabel;
class QScrollArea;

namespace k4 {

class TGraph : public QDialog {
    Q_OBJECT
public:
    TGraph(const QImage& image, QWidget* parent = nullptr);
    QLabel* Image1;

protected:
    void keyPressEvent(QKeyEvent* event) override; // FormKeyDown
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void fit();
    QImage image_;
    QScrollArea* scroll_;
};

// The picture scaled into size with its proportions kept.
QPixmap fittedPixmap(const QImage& image, const QSize& size);

} // namespace k4
