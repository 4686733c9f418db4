#include "baselink/ui/tech_form.h"

#include "baselink/tech_lines.h"
#include "baselink/trace_ring.h"
#include "processing/scheduler.h"

#include <QBoxLayout>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStyle>

namespace k4 {

TTechForm::TTechForm(TraceRing& trace, const Scheduler* scheduler, const Clock& clock, QWidget* parent)
    : TViewer(parent), trace_(trace), scheduler_(scheduler), clock_(clock) {
    setObjectName("TechForm");
    setWindowTitle(QStringLiteral("Informacje techniczne"));

    auto* filterRow = new QHBoxLayout;
    Label1 = new QLabel(QStringLiteral("Abonent"), this);
    Label1->setObjectName("Label1");
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName("Edit1");
    Edit1->setMaxLength(4);
    Edit1->setFixedWidth(48);
    Button3 = new QPushButton(QStringLiteral("&Filtracja"), this);
    Button3->setObjectName("Button3");
    filterRow->addWidget(Label1);
    filterRow->addWidget(Edit1);
    filterRow->addWidget(Button3);
    filterRow->addStretch();
    static_cast<QVBoxLayout*>(layout())->insertLayout(1, filterRow);

    Button1 = new QPushButton(QStringLiteral("&Zdarzenia"), ButtonBox);
    Button1->setObjectName("Button1");
    Button2 = new QPushButton(QStringLiteral("&Serial"), ButtonBox);
    Button2->setObjectName("Button2");
    auto* buttons = static_cast<QHBoxLayout*>(ButtonBox->layout());
    buttons->insertWidget(0, Button2);
    buttons->insertWidget(0, Button1);

    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    ListBox->viewport()->installEventFilter(this);
    // The whole ring in view at once: the serial view fills from slot 0 and
    // wraps, so a list that showed only its last lines would keep the
    // freshest ones out of sight until scrolled.
    const int frame = 2 * ListBox->frameWidth();
    ListBox->setMinimumHeight(TraceRing::kLines * kItemHeight + frame +
                              ListBox->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, ListBox));

    showQueue();
}

// Tracing is only for the serial view; it costs the links time.
TTechForm::~TTechForm() { trace_.setEnabled(false); }

bool TTechForm::ViewLine(int line, std::string& text, int size) {
    if (view_ == 1)
        text = line >= 0 && line < TraceRing::kLines ? traceLine(trace_, line) : std::string();
    else
        text = scheduler_ ? schedulerLine(*scheduler_, clock_, line, filter_) : std::string();
    if (static_cast<int>(text.size()) > size) text.resize(static_cast<size_t>(size));
    return false;
}

int64_t TTechForm::watched() const {
    if (view_ == 1) return trace_.nextSlot();
    return scheduler_ ? schedulerHeadStart(*scheduler_, clock_) : 0;
}

void TTechForm::showQueue() {
    lastSeen_ = watched();
    SetViewCount(scheduler_ ? scheduler_->count() : 0);
}

void TTechForm::Button1Click() {
    view_ = 0;
    trace_.setEnabled(false);
    showQueue();
}

void TTechForm::Button2Click() {
    view_ = 1;
    trace_.setEnabled(true);
    trace_.clear();
    lastSeen_ = watched();
    SetViewCount(TraceRing::kLines);
    showFreshestTrace();
}

void TTechForm::showFreshestTrace() {
    // The line written last, or slot 0 where the first one will go.
    const int slot = (trace_.nextSlot() + TraceRing::kLines - 1) % TraceRing::kLines;
    const int fresh = trace_.line(slot).empty() ? 0 : slot;
    ListBox->scrollTo(ListBox->model()->index(fresh, 0));
}

void TTechForm::Button3Click() {
    bool ok = false;
    const int value = Edit1->text().trimmed().toInt(&ok);
    filter_ = ok ? value : -1;
    showQueue();
}

void TTechForm::ListBoxMouseDown() {
    const int64_t now = watched();
    if (now == lastSeen_) return;
    lastSeen_ = now;
    if (view_ == 1) showFreshestTrace();
    ListBox->viewport()->update();
}

bool TTechForm::eventFilter(QObject* watchedObject, QEvent* event) {
    if (watchedObject == ListBox->viewport() && event->type() == QEvent::MouseButtonPress) ListBoxMouseDown();
    return TViewer::eventFilter(watchedObject, event);
}

} // namespace k4
