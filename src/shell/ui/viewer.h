#pragma once
// The list window from which the simple list dialogs derive: a list whose
// lines are asked from the window as they are drawn, and "&Koniec".
#include <QDialog>

#include <string>

class QGroupBox;
class QListView;
class QPushButton;

namespace k4 {

class ViewerModel;

class TViewer : public QDialog {
    Q_OBJECT
public:
    static constexpr int kLineSize = 50;
    static constexpr int kItemHeight = 16; // pixels a line

    explicit TViewer(QWidget* parent = nullptr);
    ~TViewer() override;

    // Writes the text of a line (UTF-8, at most size characters are shown)
    // and answers whether it is drawn in red. The base writes an empty line.
    virtual bool ViewLine(int line, std::string& text, int size);
    // Rebuilds the list with n lines in one update and selects the last.
    void SetViewCount(int n);

    int viewCount() const;
    int currentLine() const;
    // The text and colour of a line exactly as the list draws it.
    QString lineText(int line);
    bool lineHighlighted(int line);

protected:
    // A double click, or Space, on a line; the base does nothing.
    virtual void ListBoxDblClick(int line);
    bool eventFilter(QObject* watched, QEvent* event) override;

    QListView* ListBox;
    QGroupBox* ButtonBox;
    QPushButton* EndBtn;

private:
    ViewerModel* model_;
};

} // namespace k4
