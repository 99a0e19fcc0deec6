#include "ui/mainformcontrols.h"

#include "preview/dstrackbar.h"
#include "split/sectionvalues.h"
#include "ui/linklabel.h"
#include "ui/pictures.h"
#include "ui/roundimage.h"
#include "widgets/imagebutton.h"
#include "widgets/wordchoice.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVideoWidget>

namespace {

template <class Control> Control* Named(Control* control, const char* name) {
    control->setObjectName(QLatin1String(name));
    return control;
}

// Most controls sit at a fixed rectangle of their parent, as the window was laid out.
template <class Control> Control* Placed(Control* control, const char* name, const QRect& place) {
    Named(control, name)->setGeometry(place);
    return control;
}

QLabel* MakeLabel(QWidget* parent, const char* name, int left, int top, const QString& text, int width = -1,
                  int height = 13) {
    if (width >= 0)
        return Placed(new QLabel(text, parent), name, QRect(left, top, width, height));
    auto* label = Named(new QLabel(text, parent), name);
    label->move(left, top);
    label->adjustSize();
    return label;
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, int left, int top, int width,
                    const QString& text = QString()) {
    auto* edit = Placed(new QLineEdit(text, parent), name, QRect(left, top, width, 19));
    edit->setFrame(true);
    return edit;
}

// Ends the sections row where the words "equal sections." always stood, and reads as those words until the
// mouse comes to it.
QComboBox* MakeSectionModeChoice(QWidget* group) {
    const QRect place(212, 73, 113, 19);
    const QPoint words(216, 77);
    auto* choice = Placed(new WordChoice(words - place.topLeft(), group), "cmbSectionMode", place);
    choice->addItem(QStringLiteral("equal sections."), int(SectionsMode::Equal));
    choice->addItem(QStringLiteral("seconds each."), int(SectionsMode::Every));
    return choice;
}

QPushButton* MakeButton(QWidget* parent, const char* name, int left, int top, const QString& text) {
    return Placed(new QPushButton(text, parent), name, QRect(left, top, 65, 23));
}

QProgressBar* MakeBar(QWidget* parent, const char* name, int top) {
    auto* bar = Placed(new QProgressBar(parent), name, QRect(67, top, 241, 17));
    bar->setRange(0, 100);
    bar->setTextVisible(false);
    return bar;
}

QToolButton* MakeToolButton(QToolBar* bar, const char* name, const QString& caption, const QPixmap& normal,
                            const QPixmap& disabled) {
    auto* button = Named(new QToolButton(bar), name);
    button->setText(caption);
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIconSize(QSize(48, 48));
    QIcon icon;
    icon.addPixmap(normal, QIcon::Normal);
    icon.addPixmap(disabled, QIcon::Disabled);
    button->setIcon(icon);
    button->setFixedSize(58, 68);
    button->setToolTip(QString());
    bar->addWidget(button);
    return button;
}

void SetupPreviewArea(MainFormControls& ui) {
    ui.imgScreen = Placed(new QLabel(ui.panLeft), "imgScreen", QRect(0, 0, 390, 290));
    ui.imgScreen->setPixmap(Pictures::PreviewBackground(ui.imgScreen->size()));
    ui.Image1 = Placed(new QLabel(ui.panLeft), "Image1", QRect(32, 105, 320, 80));
    ui.Image1->setAlignment(Qt::AlignCenter);
    ui.Image1->setScaledContents(true);
    ui.Image1->setPixmap(Pictures::PreviewEmblem(ui.Image1->size()));
    ui.VideoWindow = Placed(new QVideoWidget(ui.panLeft), "VideoWindow", QRect(26, 24, 331, 237));
    ui.VideoWindow->setAutoFillBackground(true);
    QPalette black = ui.VideoWindow->palette();
    black.setColor(QPalette::Window, Qt::black);
    ui.VideoWindow->setPalette(black);
    ui.VideoWindow->hide();
}

void SetupPositionRow(MainFormControls& ui) {
    ui.labLeft = MakeLabel(ui.panLeft, "labLeft", 16, 292, QStringLiteral("00:00:00"), 80);
    ui.labLeft->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    ui.labMiddle = MakeLabel(ui.panLeft, "labMiddle", 131, 292, QStringLiteral("00:00:00"), 80);
    ui.labMiddle->setAlignment(Qt::AlignCenter);
    ui.labRight = MakeLabel(ui.panLeft, "labRight", 248, 292, QStringLiteral("00:00:00"), 80);
    ui.labRight->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ui.tkbProgress = Placed(new TDSTrackBar(ui.panLeft), "tkbProgress", QRect(11, 314, 326, 13));
    ui.labCurrent = MakeLabel(ui.panLeft, "labCurrent", 333, 316, QStringLiteral("00:00:00"), 50);
    ui.labCurrent->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ui.labStart = MakeLabel(ui.panLeft, "labStart", 16, 332, QString());
    ui.labStart->hide();
    ui.labEnd = MakeLabel(ui.panLeft, "labEnd", 293, 332, QString());
    ui.labEnd->hide();
}

void SetupPlayerButtons(MainFormControls& ui) {
    struct Button {
        ImageButton* MainFormControls::*field;
        const char* name;
        int left;
        const char* hint;
    };
    const Button buttons[6] = {{&MainFormControls::imgPlay, "imgPlay", 5, "Play"},
                               {&MainFormControls::imgPause, "imgPause", 68, "Pause | Resume"},
                               {&MainFormControls::imgStop, "imgStop", 131, "Stop"},
                               {&MainFormControls::imgSelStart, "imgSelStart", 203, "Set the Start Time"},
                               {&MainFormControls::imgSelEnd, "imgSelEnd", 266, "Set the End Time"},
                               {&MainFormControls::imgErase, "imgErase", 329, "Remove the selection"}};
    for (int i = 0; i < 6; ++i) {
        const QList<QPixmap>& list = i < 3 ? ui.iglButtons : ui.iglbuttons2;
        auto* button = Placed(new ImageButton(list.at(i % 3), list.at(i % 3 + 3), ui.panLeft),
                              buttons[i].name, QRect(buttons[i].left, 364, 63, 35));
        button->SetHint(QString::fromLatin1(buttons[i].hint));
        ui.*buttons[i].field = button;
    }
}

void SetupToolBar(MainFormControls& ui) {
    ui.ToolBar1 = Placed(new QToolBar(ui.panRight), "ToolBar1", QRect(0, -2, 372, 94));
    ui.ToolBar1->setMovable(false);
    ui.ToolBar1->setFloatable(false);
    ui.ToolBar1->setIconSize(QSize(48, 48));
    ui.ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    ui.ToolBar1->setContentsMargins(5, 5, 5, 5);
    const auto add = [&ui](const char* name, const char* caption, int image) {
        return MakeToolButton(ui.ToolBar1, name, QString::fromLatin1(caption), ui.imlToolbar.at(image),
                              ui.imlToolbar2.at(image));
    };
    ui.tbtnOpen = add("tbtnOpen", "Open", 0);
    ui.tbtnSettings = add("tbtnSettings", "Settings", 1);
    ui.tbtnAbout = add("tbtnAbout", "About", 2);
    ui.tbtnHelp = add("tbtnHelp", "Help", 3);
}

void SetupOutputGroup(MainFormControls& ui) {
    ui.gpbOutput =
        Placed(new QGroupBox(QStringLiteral("Output"), ui.panRight), "gpbOutput", QRect(12, 114, 348, 183));
    QWidget* group = ui.gpbOutput;
    ui.rdbStartEnd = Placed(new QRadioButton(QStringLiteral("Split the marked rang out."), group),
                            "rdbStartEnd", QRect(24, 22, 193, 17));
    ui.rdbStartEnd->setChecked(true);
    ui.Label4 = MakeLabel(group, "Label4", 43, 43, QStringLiteral("Start Time:"));
    ui.edtStart = MakeEdit(group, "edtStart", 99, 41, 75, QStringLiteral("00:00:00"));
    ui.Label5 = MakeLabel(group, "Label5", 209, 44, QStringLiteral("End Time:"));
    ui.edtEnd = MakeEdit(group, "edtEnd", 262, 41, 75, QStringLiteral("00:00:00"));
    ui.rdbEqual = Placed(new QRadioButton(QStringLiteral("Split the marked rang to "), group), "rdbEqual",
                         QRect(24, 75, 137, 17));
    ui.edtSectionQty = MakeEdit(group, "edtSectionQty", 161, 73, 49);
    ui.cmbSectionMode = MakeSectionModeChoice(group);
    ui.labLength = MakeLabel(group, "labLength", 16, 101, QString(), 281);
    QPalette blue = ui.labLength->palette();
    blue.setColor(QPalette::WindowText, QColor(0x1a, 0x4f, 0xc4));
    ui.labLength->setPalette(blue);
    ui.labLength->hide();
    ui.Label10 = MakeLabel(group, "Label10", 16, 128, QStringLiteral("Output Profile:"));
    ui.cmbProfile = Placed(new QComboBox(group), "cmbProfile", QRect(88, 125, 185, 21));
    ui.BitBtn1 = MakeButton(group, "BitBtn1", 277, 123, QStringLiteral("Detail"));
    ui.Label3 = MakeLabel(group, "Label3", 23, 156, QStringLiteral("Output Path:"));
    ui.edtOutputDir = MakeEdit(group, "edtOutputDir", 88, 154, 185);
    ui.bbtnBrowse = MakeButton(group, "bbtnBrowse", 277, 151, QStringLiteral("Browse"));
}

void SetupProgressPanel(MainFormControls& ui) {
    // Its height is set when the window is created (FormCreate); the run shows it over the source row.
    ui.panProgress = Placed(new QFrame(ui.panRight), "panProgress", QRect(6, 80, 360, 17));
    ui.panProgress->setAutoFillBackground(true);
    ui.panProgress->hide();
    QWidget* panel = ui.panProgress;
    ui.labProcessing = MakeLabel(panel, "labProcessing", 16, 17, QString(), 337);
    ui.Label1 = MakeLabel(panel, "Label1", 24, 42, QStringLiteral("Current:"));
    ui.pgbCurrent = MakeBar(panel, "pgbCurrent", 41);
    ui.labCurProgress = MakeLabel(panel, "labCurProgress", 312, 41, QStringLiteral("%"));
    ui.Label6 = MakeLabel(panel, "Label6", 34, 81, QStringLiteral("Total:"));
    ui.pgbTotal = MakeBar(panel, "pgbTotal", 81);
    ui.labTotalProgress = MakeLabel(panel, "labTotalProgress", 312, 81, QStringLiteral("%"));
    ui.Label8 = MakeLabel(panel, "Label8", 20, 116, QStringLiteral("Elapsed:"));
    ui.labElapsed = MakeLabel(panel, "labElapsed", 67, 116, QString(), 100);
    ui.Label9 = MakeLabel(panel, "Label9", 200, 116, QStringLiteral("Remaining:"));
    ui.labRemaining = MakeLabel(panel, "labRemaining", 259, 116, QString(), 94);
    ui.chkPreview =
        Placed(new QCheckBox(QStringLiteral("Preview"), panel), "chkPreview", QRect(16, 148, 97, 17));
    ui.chkPreview->hide();
}

void SetupRoundImages(MainFormControls& ui) {
    ui.imgRightBottom = Placed(new QLabel(ui.panRight), "imgRightBottom", QRect(112, 311, 263, 99));
    ui.imgRightBottom->setPixmap(Pictures::Decoration(ui.imgRightBottom->size()));
    ui.imgLogo = Placed(new LinkLabel(ui.panRight), "imgLogo", QRect(224, 339, 137, 63));
    ui.imgLogo->setPixmap(Pictures::Logo(ui.imgLogo->size()));
    ui.imgLogo->setToolTip(QStringLiteral("Visit our Company Website"));
    const QList<QPixmap>& faces = ui.iglStart;
    // Cancel takes Start's place during a run.
    const QRect place(54, 297, 110, 110);
    ui.imgStart =
        Placed(new RoundImage(faces.at(0), faces.at(1), faces.at(2), ui.panRight), "imgStart", place);
    ui.imgCancel =
        Placed(new RoundImage(faces.at(3), faces.at(4), faces.at(5), ui.panRight), "imgCancel", place);
    ui.imgCancel->hide();
}

QTimer* MakeTimer(QWidget* form, const char* name) {
    auto* timer = Named(new QTimer(form), name);
    timer->setInterval(1000);
    return timer;
}

} // namespace

void MainFormControls::SetupUi(QWidget* form) {
    iglButtons = Pictures::PlayerButtons();
    iglbuttons2 = Pictures::MarkButtons();
    iglStart = Pictures::RoundButtons();
    imlToolbar = Pictures::ToolbarImages();
    imlToolbar2 = Pictures::ToolbarDisabledImages();

    panLeft = Placed(new QFrame(form), "panLeft", QRect(0, 0, 399, 410));
    SetupPreviewArea(*this);
    SetupPositionRow(*this);
    SetupPlayerButtons(*this);

    panRight = Placed(new QFrame(form), "panRight", QRect(399, 0, 373, 410));
    SetupToolBar(*this);
    Label2 = MakeLabel(panRight, "Label2", 16, 95, QStringLiteral("Source:"));
    edtSource = MakeEdit(panRight, "edtSource", 58, 92, 300);
    SetupOutputGroup(*this);
    SetupProgressPanel(*this);
    SetupRoundImages(*this);

    tmrPreview = MakeTimer(form, "tmrPreview");
    tmrProcess = MakeTimer(form, "tmrProcess");
}

QList<QWidget*> MainFormControls::PlayerControls() const {
    return {tkbProgress, imgPlay, imgPause, imgStop, imgSelStart, imgSelEnd, imgErase};
}

void MainFormControls::OfferSizeChoice(bool offered) {
    const int size = cmbSectionMode->findData(int(SectionsMode::Size));
    if (offered && size < 0)
        cmbSectionMode->addItem(QStringLiteral("MB each."), int(SectionsMode::Size));
    if (!offered && size >= 0) {
        if (cmbSectionMode->currentIndex() == size)
            cmbSectionMode->setCurrentIndex(cmbSectionMode->findData(int(SectionsMode::Equal)));
        cmbSectionMode->removeItem(size);
    }
}
