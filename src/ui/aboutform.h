#pragma once

#include <QList>
#include <QWidget>

class QFrame;
class QLabel;
class QPushButton;
class LinkLabel;

// The about box: the program's name and version, the maker, the web page and the support mail links.
// Shown without being modal; the main window is disabled while it is open.
class TAboutForm : public QWidget {
    Q_OBJECT
public:
    explicit TAboutForm(QWidget* parent = nullptr);

    QFrame* Panel1 = nullptr;
    QLabel* imgbk = nullptr;
    QLabel* Image2 = nullptr;
    QLabel* labProgramName = nullptr;
    QLabel* labVersion = nullptr;
    QLabel* labCopyright = nullptr;
    QLabel* labRightsReserved = nullptr;
    QLabel* labVisitWebsite = nullptr;
    LinkLabel* labWebsite = nullptr;
    QFrame* panBottom = nullptr;
    QLabel* labTopics = nullptr;
    // Links into the help page's topics, then one to the web page itself.
    QList<LinkLabel*> TopicLinks;
    QPushButton* btnTech = nullptr;
    QPushButton* btnSales = nullptr;
    QPushButton* btnOK = nullptr;

    void FormCreate();
    void labWebsiteClick();
    void btnTechClick();
    void btnSalesClick();
    void btnOKClick();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};
