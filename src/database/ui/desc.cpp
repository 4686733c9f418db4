#include "database/ui/desc.h"

#include "database/database_files.h"
#include "database/description_text.h"
#include "database/picture_decoding.h"
#include "database/subscriber_database.h"
#include "database/text_edge.h"
#include "database/ui/graph.h"
#include "database/ui/mod_graph_form.h"
#include "database/ui/picture_image.h"
#include "maintenance/ask_directory.h"
#include "shell/ui/spread_button_row.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace k4 {

namespace {

constexpr int kViewTag = 1;
constexpr int kEditTag = 2;
constexpr int kHelpDescription = 1202;

// The memo holds lines ended by a line feed; the stored text, as the
// station's earlier generations wrote it, ends them with CR LF.
QString shownText(const std::string& mazovia) {
    QString text = QString::fromStdString(Utf8FromMazovia(mazovia));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

std::string storedText(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return MazoviaFromUtf8(text.toStdString());
}

QPushButton* button(QWidget* parent, const char* name, const QString& text, int tag = 0) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    if (tag) b->setProperty("tag", tag);
    return b;
}

} // namespace

TDesc::TDesc(DescriptionParts& parts, QWidget* parent, int edit, int number, Int32Le& desc)
    : QDialog(parent), parts_(parts), desc_(desc), edit_(edit != 0),
      pictures_(parts.database.dataDir(), number, parts.database.messages(), parts.copyIn) {
    setObjectName("Desc");
    setWindowTitle(QStringLiteral("Opis"));
    setProperty("helpContext", kHelpDescription);
    setFixedSize(540, 357);

    DBMemo1 = new QPlainTextEdit(this);
    DBMemo1->setObjectName("DBMemo1");
    DBMemo1->setGeometry(4, 4, 457, 305);
    auto* label = new QLabel(QStringLiteral("Grafika"), this);
    label->setGeometry(466, 4, 70, 16);
    ListBox = new QListWidget(this);
    ListBox->setObjectName("ListBox");
    ListBox->setGeometry(466, 20, 70, 130);
    Image1 = new QLabel(this);
    Image1->setObjectName("Image1");
    Image1->setGeometry(465, 154, 73, 49);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setFrameShape(QFrame::Box);
    AddBtn = button(this, "AddBtn", QStringLiteral("&Dodaj"));
    DelBtn = button(this, "DelBtn", QString::fromUtf8("&Usuń"));
    ChangeBtn = button(this, "ChangeBtn", QString::fromUtf8("&Zmień"));
    AddBtn->setGeometry(466, 208, 70, 24);
    DelBtn->setGeometry(466, 236, 70, 24);
    ChangeBtn->setGeometry(466, 264, 70, 24);

    Buttons = new QGroupBox(this);
    Buttons->setGeometry(4, 312, 532, 41);
    ShowBtn = button(Buttons, "ShowBtn", QString::fromUtf8("&Pokaż grafikę"));
    EndBtn = button(Buttons, "EndBtn", QStringLiteral("&Koniec"), kViewTag);
    EndChBtn = button(Buttons, "EndChBtn", QStringLiteral("&Koniec zmian"), kEditTag);
    for (QPushButton* b : {ShowBtn, EndBtn, EndChBtn}) b->setGeometry(0, 10, 110, 25);
    EndBtn->setDefault(!edit_);

    connect(EndBtn, &QPushButton::clicked, this, &TDesc::EndBtnClick);
    connect(EndChBtn, &QPushButton::clicked, this, &TDesc::EndChBtnClick);
    connect(ShowBtn, &QPushButton::clicked, this, &TDesc::ShowBtnClick);
    connect(ListBox, &QListWidget::itemDoubleClicked, this, [this] { ShowBtnClick(); });
    connect(AddBtn, &QPushButton::clicked, this, &TDesc::AddBtnClick);
    connect(ChangeBtn, &QPushButton::clicked, this, &TDesc::ChangeBtnClick);
    connect(DelBtn, &QPushButton::clicked, this, &TDesc::DelBtnClick);

    // "opis" is opened for the life of the window; without it there is
    // neither the text nor the pictures.
    opis_ = std::make_unique<OnDemandFile>(parts.database.files(), DbFile::Opis, mz("\x03otwarcia pliku opisu"));
    if (opis_->ok()) {
        if (desc_ != 0) {
            std::string text;
            const int length = readDescriptionText(parts.database, desc_, text);
            DBMemo1->setPlainText(length < 0 ? QString() : shownText(text));
        }
    } else {
        for (QPushButton* b : {ShowBtn, AddBtn, DelBtn, ChangeBtn, EndChBtn}) b->setEnabled(false);
    }
    DBMemo1->setReadOnly(!edit_);
    Buttons->setProperty("tag", edit_ ? kEditTag : kViewTag);
    SpreadButtonRow(Buttons);
    if (opis_->ok()) listPictures();
}

TDesc::~TDesc() = default;

TModGraphForm& TDesc::details() {
    if (parts_.details) return *parts_.details;
    if (!ownDetails_) ownDetails_ = std::make_unique<TModGraphForm>(this);
    return *ownDetails_;
}

void TDesc::listPictures() {
    ListBox->clear();
    pictures_.listPictures();
    for (const std::string& name : pictures_.names()) {
        auto* item = new QListWidgetItem(QString::fromStdString(pictureLineText(name)), ListBox);
        item->setData(Qt::UserRole, QString::fromStdString(name));
    }
    if (ListBox->count() > 0) ListBox->setCurrentRow(0);
}

std::string TDesc::selectedPicture() const {
    const QListWidgetItem* item = ListBox->currentItem();
    return item ? item->data(Qt::UserRole).toString().toStdString() : std::string();
}

void TDesc::EndBtnClick() { reject(); }

void TDesc::EndChBtnClick() {
    if (!edit_ || !opis_->ok()) return;
    int32_t first = desc_;
    // A text that could not be stored keeps the window open: the operator's
    // work is still in the memo.
    if (storeDescription(opis_->file(), first, storedText(DBMemo1->toPlainText()), parts_.database.messages()) !=
        kDescriptionStored)
        return;
    desc_ = first;
    accept();
}

void TDesc::ShowBtnClick() {
    const std::string name = selectedPicture();
    if (name.empty() || name.find('.') == std::string::npos) return;
    if (pictureKindOf(name) == PictureKind::Unknown) return;
    const DecodedPicture picture = loadPicture(pictures_.pathOf(name));
    if (picture.fault != PictureFault::None) {
        tellPictureFault(parts_.database.messages(), picture.fault, std::string(kPictureDirectory) + "/" + name);
        return;
    }
    const QImage image = imageOf(picture.pixmap);
    Image1->setPixmap(fittedPixmap(image, Image1->contentsRect().size()));
    TGraph graph(image, this);
    graph.exec();
}

bool TDesc::choosePicture(std::string& directory, std::string& name) {
    if (AskDirectory(parts_.database.messages(), "Wczytanie grafiki", "Nazwa katalogu plików graficznych:", directory,
                     false) != 0)
        return false;
    TPictureChooser chooser(pictureFilesIn(directory), this);
    if (chooser.exec() != QDialog::Accepted) return false;
    name = chooser.chosen();
    return !name.empty();
}

void TDesc::AddBtnClick() {
    std::string directory, name;
    if (!choosePicture(directory, name)) return;
    TModGraphForm& form = details();
    form.exec();
    pictures_.add(directory, name, form.number, form.shortName);
    listPictures();
}

void TDesc::ChangeBtnClick() {
    const std::string name = selectedPicture();
    if (name.empty()) return;
    const PictureNameParts parts = splitPictureName(name);
    TModGraphForm& form = details();
    form.number = parts.number;
    form.shortName = parts.shortName;
    form.exec();
    pictures_.change(name, form.number, form.shortName);
    listPictures();
}

void TDesc::DelBtnClick() {
    const std::string name = selectedPicture();
    if (name.empty()) return;
    pictures_.remove(name);
    listPictures();
}

int openDescriptionWindow(DescriptionParts& parts, QWidget* parent, bool edit, int number, Int32Le& desc) {
    TDesc window(parts, parent, edit ? 1 : 0, number, desc);
    return window.exec() == QDialog::Accepted ? 1 : 0;
}

TPictureChooser::TPictureChooser(const std::vector<std::string>& names, QWidget* parent) : QDialog(parent) {
    setObjectName("PictureChooser");
    setWindowTitle(QStringLiteral("Grafika"));
    Files = new QListWidget(this);
    Files->setObjectName("Files");
    for (const std::string& name : names) Files->addItem(QString::fromStdString(name));
    if (Files->count() > 0) Files->setCurrentRow(0);
    auto* load = new QPushButton(QStringLiteral("&Wczytaj"), this);
    load->setDefault(true);
    auto* cancel = new QPushButton(QString::fromUtf8("&Porzuć"), this);
    connect(load, &QPushButton::clicked, this, [this] {
        if (Files->currentItem()) accept();
    });
    connect(Files, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(load);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Files);
    layout->addLayout(buttons);
}

std::string TPictureChooser::chosen() const {
    return Files->currentItem() ? Files->currentItem()->text().toStdString() : std::string();
}

} // namespace k4
