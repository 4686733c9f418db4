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
    ListBox->viewport()->update();
}

bool TTechForm::eventFilter(QObject* watchedObject, QEvent* event) {
    if (watchedObject == ListBox->viewport() && event->type() == QEvent::MouseButtonPress) ListBoxMouseDown();
    return TViewer::eventFilter(watchedObject, event);
}

} // namespace k4
