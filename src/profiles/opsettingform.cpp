#include "profiles/opsettingform.h"

#include "app/appcontext.h"
#include "app/filehelpers.h"
#include "platform/errorreporter.h"
#include "profiles/listheights.h"
#include "profiles/valuelistview.h"
#include "profiles/videosize.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

QPushButton* MakeButton(QWidget* parent, int left, int top, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setGeometry(left, top, 75, 25);
    // Enter in a list and Esc press neither button.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

} // namespace

TopSettingForm::TopSettingForm(const QStringList& profileNames, QWidget* owner)
    : QWidget(owner, Qt::Dialog), profileNames(profileNames), owner(owner) {
    setWindowTitle(QStringLiteral("Profile"));
    setFixedSize(391, 472);

    cmbProfile = new QComboBox(this);
    cmbProfile->setEditable(false);
    cmbProfile->setGeometry(8, 7, 283, cmbProfile->sizeHint().height());
    btnSaveAs = MakeButton(this, 298, 4, QStringLiteral("&Save as..."));

    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setGeometry(8, 36, 366, 373);
    ScrollBox1->setWidgetResizable(true);
    ScrollBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ScrollBox1->setBackgroundRole(QPalette::Base);
    // The box itself is no tab stop; its lists and buttons are.
    ScrollBox1->setFocusPolicy(Qt::NoFocus);
    auto* stack = new QWidget;
    stack->setBackgroundRole(QPalette::Base);
    stack->setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(stack);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    panVideo = MakeGroupHeader(stack, QStringLiteral("      Video"), btnVideo);
    vleVideo = new ValueListView(&Lists.vleVideo, stack);
    panAudio = MakeGroupHeader(stack, QStringLiteral("      Audio"), btnAudio);
    vleAudio = new ValueListView(&Lists.vleAudio, stack);
    panAdvanced = MakeGroupHeader(stack, QStringLiteral("      Advanced"), btnAdvanced);
    vleAdvanced = new ValueListView(&Lists.vleAdvanced, stack);
    for (QWidget* element : {static_cast<QWidget*>(panVideo), static_cast<QWidget*>(vleVideo),
                             static_cast<QWidget*>(panAudio), static_cast<QWidget*>(vleAudio),
                             static_cast<QWidget*>(panAdvanced), static_cast<QWidget*>(vleAdvanced)})
        layout->addWidget(element);
    layout->addStretch(1);
    ScrollBox1->setWidget(stack);
    FitListsToRows();

    Button1 = MakeButton(this, 216, 432, QStringLiteral("&OK"));
    Button2 = MakeButton(this, 304, 432, QStringLiteral("&Cancel"));

    QWidget* tabOrder[] = {cmbProfile,  btnSaveAs, vleVideo, vleAudio, vleAdvanced,
                           btnAdvanced, btnAudio,  btnVideo, Button1,  Button2};
    for (size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    connect(cmbProfile, &QComboBox::activated, this, &TopSettingForm::cmbProfileChange);
    connect(btnSaveAs, &QPushButton::clicked, this, &TopSettingForm::btnSaveAsClick);
    connect(Button1, &QPushButton::clicked, this, &TopSettingForm::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TopSettingForm::Button2Click);
    connect(btnVideo, &QPushButton::clicked, this, &TopSettingForm::btnVideoClick);
    connect(btnAudio, &QPushButton::clicked, this, &TopSettingForm::btnAudioClick);
    connect(btnAdvanced, &QPushButton::clicked, this, &TopSettingForm::btnAdvancedClick);
    for (ValueListView* view : {vleVideo, vleAudio, vleAdvanced})
        connect(view, &ValueListView::MousePressed, this, &TopSettingForm::RedrawLists);
    // The keyboard moves the focus between the lists too, and only the focused one marks its row.
    connect(qApp, &QApplication::focusChanged, this, &TopSettingForm::RedrawLists);
    connect(&Lists.vleVideo, &ValueListModel::dataChanged, this, &TopSettingForm::vleVideoStringsChange);
    connect(&Lists, &ProfileWorkingLists::ProfileLoaded, this, &TopSettingForm::FitListsToRows);

    FormCreate();
}

TopSettingForm::~TopSettingForm() {
    // Focus moves while the windows go; the lists must not be redrawn half destroyed.
    disconnect(qApp, nullptr, this, nullptr);
    // The views go before the working lists they show.
    delete ScrollBox1;
}

QFrame* TopSettingForm::MakeGroupHeader(QWidget* parent, const QString& caption, QPushButton*& button) {
    auto* header = new QFrame(parent);
    header->setFixedHeight(18);
    // The stack's white background would pass down to the header otherwise.
    header->setBackgroundRole(QPalette::Window);
    header->setAutoFillBackground(true);
    QPalette shadow = header->palette();
    shadow.setColor(QPalette::Window, shadow.color(QPalette::Dark));
    header->setPalette(shadow);

    auto* label = new QLabel(caption, header);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    QPalette black = label->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(black);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    auto* captionLayout = new QVBoxLayout(header);
    captionLayout->setContentsMargins(0, 0, 0, 0);
    captionLayout->addWidget(label);

    button = new QPushButton(QStringLiteral("-"), header);
    button->setGeometry(5, 3, 12, 12);
    button->setAutoDefault(false);
    QFont sign = button->font();
    sign.setBold(true);
    sign.setPixelSize(16);
    button->setFont(sign);
    // The style's margins would leave no room for the sign in 12 pixels.
    button->setStyleSheet(
        QStringLiteral("QPushButton { padding: 0px; margin: 0px; border: 1px solid "
                       "palette(shadow); background: palette(button); line-height: 10px; }"));
    button->raise();
    return header;
}

void TopSettingForm::FormCreate() {
    cmbProfile->clear();
    cmbProfile->addItems(profileNames);
    cmbProfile->setCurrentIndex(-1);
}

QString TopSettingForm::SelectedProfilePath() const {
    if (cmbProfile->currentIndex() < 0)
        return QString();
    return App().ProfilePath(cmbProfile->currentText());
}

void TopSettingForm::cmbProfileChange() {
    Guarded(
        [this] {
            const QString path = SelectedProfilePath();
            if (!path.isEmpty())
                LoadProfile(path);
        },
        this);
}

void TopSettingForm::Button1Click() {
    Guarded(
        [this] {
            const QString path = SelectedProfilePath();
            if (!path.isEmpty() && SourceFileExists(path))
                VideoSize::WithOriginalVideoSize(Lists.vleVideo, [&] { SaveProfile(path); });
            close();
        },
        this);
}

void TopSettingForm::Button2Click() {
    close();
    // Reloading drops every edit that was not saved.
    cmbProfileChange();
}

void TopSettingForm::btnSaveAsClick() {
    if (!SaveDialog1.Execute(this))
        return;
    Guarded(
        [this] {
            const QString path = SelectedProfilePath();
            if (path.isEmpty())
                return;
            VideoSize::WithOriginalVideoSize(Lists.vleVideo,
                                             [&] { CopyProfile(path, SaveDialog1.FileName); });
        },
        this);
}

void TopSettingForm::ToggleGroup(QPushButton* button, ValueListView* view) {
    QString caption;
    int height = 0;
    if (ListHeights::Toggle(button->text(), view->List()->RowCount(), caption, height)) {
        button->setText(caption);
        view->setFixedHeight(height);
    }
}

void TopSettingForm::btnVideoClick() {
    ToggleGroup(btnVideo, vleVideo);
}

void TopSettingForm::btnAudioClick() {
    ToggleGroup(btnAudio, vleAudio);
}

void TopSettingForm::btnAdvancedClick() {
    ToggleGroup(btnAdvanced, vleAdvanced);
}

void TopSettingForm::FitListsToRows() {
    // A load shows every row again; the group buttons keep their captions.
    for (ValueListView* view : {vleVideo, vleAudio, vleAdvanced}) {
        view->setFixedHeight(ListHeights::Loaded(view->List()->RowCount()));
        view->RestoreCurrentRow();
    }
}

void TopSettingForm::RedrawLists() {
    for (ValueListView* view : {vleVideo, vleAudio, vleAdvanced})
        view->viewport()->update();
}

void TopSettingForm::vleVideoStringsChange() {
    if (VideoSize::WantsCustomSize(Lists.vleVideo, vleVideo->CurrentRow()))
        emit CustomSizeWanted();
}

void TopSettingForm::ShowDetail(int mainProfileIndex) {
    show();
    raise();
    activateWindow();
    if (cmbProfile->currentIndex() != mainProfileIndex) {
        cmbProfile->setCurrentIndex(mainProfileIndex);
        cmbProfileChange();
    }
}

void TopSettingForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous())
        move(owner->geometry().center() - rect().center());
}
