#include "ui/aboutform.h"

#include "app/appcontext.h"
#include "app/contact.h"
#include "platform/platform.h"
#include "ui/linklabel.h"
#include "ui/pictures.h"
#include "widgets/ownerlock.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace {

QLabel* MakeLabel(QWidget* parent, int left, int top, int width = 355) {
    auto* label = new QLabel(parent);
    label->setGeometry(left, top, width, 15);
    label->setAttribute(Qt::WA_TranslucentBackground);
    return label;
}

LinkLabel* MakeLink(QWidget* parent, int left, int top, int width) {
    auto* link = new LinkLabel(parent);
    link->setGeometry(left, top, width, 15);
    QFont font = link->font();
    font.setUnderline(true);
    link->setFont(font);
    QPalette palette = link->palette();
    palette.setColor(QPalette::WindowText, QColor(0x1a, 0x5f, 0xb4));
    link->setPalette(palette);
    return link;
}

QPushButton* MakeButton(QWidget* parent, int left, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setGeometry(left, 88, 75, 25);
    return button;
}

struct Topic {
    const char* caption;
    const char* anchor;
};

// Sections of the help page that ships with the program.
const Topic Topics[] = {{"Opening a video", "opening"},  {"Marking a range", "marking"},
                        {"Output profiles", "profiles"}, {"Equal sections", "sections"},
                        {"Settings", "settings"},        {"When a run ends", "completion"}};

} // namespace

TAboutForm::TAboutForm(QWidget* parent) : QWidget(parent, Qt::Dialog) {
    setWindowTitle(QStringLiteral("About"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(503, 290);

    Panel1 = new QFrame(this);
    Panel1->setGeometry(0, 0, 503, 167);
    imgbk = new QLabel(Panel1);
    imgbk->setGeometry(0, 0, 117, 167);
    imgbk->setScaledContents(true);
    imgbk->setPixmap(Pictures::AboutSide(imgbk->size()));
    Image2 = new QLabel(Panel1);
    Image2->setGeometry(117, 0, 386, 167);
    Image2->setAutoFillBackground(true);
    QPalette white = Image2->palette();
    white.setColor(QPalette::Window, Qt::white);
    Image2->setPalette(white);

    labProgramName = MakeLabel(Panel1, 136, 14);
    labProgramName->setFixedHeight(17);
    QFont bold = labProgramName->font();
    bold.setBold(true);
    bold.setPixelSize(14);
    labProgramName->setFont(bold);
    labVersion = MakeLabel(Panel1, 136, 32);
    labCopyright = MakeLabel(Panel1, 136, 76);
    labRightsReserved = MakeLabel(Panel1, 136, 92);
    labRightsReserved->setText(QStringLiteral("All rights reserved."));
    labVisitWebsite = MakeLabel(Panel1, 136, 123);
    labVisitWebsite->setText(QStringLiteral("Visit our website"));
    labWebsite = MakeLink(Panel1, 136, 139, 355);

    panBottom = new QFrame(this);
    panBottom->setGeometry(0, 167, 503, 123);
    panBottom->setFrameShape(QFrame::NoFrame);
    labTopics = MakeLabel(panBottom, 16, 10, 470);
    labTopics->setText(QStringLiteral("Learn more about splitting videos:"));
    const int columns = 4;
    const int count = int(std::size(Topics)) + 1;
    for (int i = 0; i < count; ++i) {
        TopicLinks << MakeLink(panBottom, 16 + (i % columns) * 120, 32 + (i / columns) * 22, 114);
    }
    btnTech = MakeButton(panBottom, 16, QStringLiteral("Tech Support"));
    btnSales = MakeButton(panBottom, 104, QStringLiteral("Sales Support"));
    btnOK = MakeButton(panBottom, 408, QStringLiteral("&OK"));

    new OwnerLock(this);
    connect(labWebsite, &LinkLabel::clicked, this, &TAboutForm::labWebsiteClick);
    connect(btnTech, &QPushButton::clicked, this, &TAboutForm::btnTechClick);
    connect(btnSales, &QPushButton::clicked, this, &TAboutForm::btnSalesClick);
    connect(btnOK, &QPushButton::clicked, this, &TAboutForm::btnOKClick);
    FormCreate();
}

void TAboutForm::FormCreate() {
    labProgramName->setText(App().ProductName);
    labVersion->setText(QStringLiteral("Version ") + App().AppVersion);
    labCopyright->setText(
        QStringLiteral("Copyright \u00A9 %1 %2").arg(Contact::RightsYears, Contact::MakerName));
    labWebsite->setText(App().WebPageAddress);
    labWebsite->setToolTip(App().WebPageAddress);
    for (int i = 0; i < TopicLinks.size(); ++i) {
        LinkLabel* link = TopicLinks.at(i);
        const bool topic = i < int(std::size(Topics));
        link->setText(topic ? QString::fromLatin1(Topics[i].caption) : QStringLiteral("All help topics"));
        const QString address =
            topic ? App().WebPageAddress + QLatin1Char('#') + QLatin1String(Topics[i].anchor)
                  : App().WebPageAddress;
        link->setToolTip(address);
        disconnect(link, &LinkLabel::clicked, this, nullptr);
        connect(link, &LinkLabel::clicked, this, [this, address] { OpenOrShowWhere(this, address); });
    }
}

void TAboutForm::labWebsiteClick() {
    OpenOrShowWhere(this, labWebsite->text());
}

void TAboutForm::btnTechClick() {
    OpenOrShowWhere(this, QStringLiteral("mailto:") + Contact::TechSupportMail);
}

void TAboutForm::btnSalesClick() {
    OpenOrShowWhere(this, QStringLiteral("mailto:") + Contact::SalesMail);
}

void TAboutForm::btnOKClick() {
    close();
}

void TAboutForm::showEvent(QShowEvent* event) {
    if (!event->spontaneous() && parentWidget()) {
        const QRect owner = parentWidget()->frameGeometry();
        move(owner.center() - rect().center());
    }
    QWidget::showEvent(event);
}

void TAboutForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
