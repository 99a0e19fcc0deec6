#pragma once

#include <QList>
#include <QPixmap>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;
class QToolBar;
class QToolButton;
class QVideoWidget;
class ImageButton;
class RoundImage;
class TDSTrackBar;

// The main window's controls at their places, each named (objectName) as its field. Only the main window
// holds them; it hands each feature the few that feature drives.
struct MainFormControls {
    // Builds every control on the window, with its pictures, captions and hints.
    void SetupUi(QWidget* form);
    // The player and marking controls, disabled during a run.
    QList<QWidget*> PlayerControls() const;
    // Adds the sections row's "MB each." choice, or takes it away (back to equal sections if it was
    // chosen): only a profile that copies the streams can cut clips of a chosen size.
    void OfferSizeChoice(bool offered);

    // Left panel.
    QFrame* panLeft = nullptr;
    QLabel* imgScreen = nullptr;
    QLabel* Image1 = nullptr;
    QVideoWidget* VideoWindow = nullptr;
    QLabel* labLeft = nullptr;
    QLabel* labMiddle = nullptr;
    QLabel* labRight = nullptr;
    TDSTrackBar* tkbProgress = nullptr;
    QLabel* labCurrent = nullptr;
    QLabel* labStart = nullptr;
    QLabel* labEnd = nullptr;
    ImageButton* imgPlay = nullptr;
    ImageButton* imgPause = nullptr;
    ImageButton* imgStop = nullptr;
    ImageButton* imgSelStart = nullptr;
    ImageButton* imgSelEnd = nullptr;
    ImageButton* imgErase = nullptr;

    // Right panel.
    QFrame* panRight = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QToolButton* tbtnOpen = nullptr;
    QToolButton* tbtnSettings = nullptr;
    QToolButton* tbtnAbout = nullptr;
    QToolButton* tbtnHelp = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* edtSource = nullptr;
    QGroupBox* gpbOutput = nullptr;
    QFrame* panProgress = nullptr;
    RoundImage* imgStart = nullptr;
    RoundImage* imgCancel = nullptr;
    QLabel* imgRightBottom = nullptr;
    QLabel* imgLogo = nullptr;

    // Inside gpbOutput.
    QRadioButton* rdbStartEnd = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* edtStart = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* edtEnd = nullptr;
    QRadioButton* rdbEqual = nullptr;
    QLineEdit* edtSectionQty = nullptr;
    // What the number in edtSectionQty means: "equal sections.", "seconds each." or "MB each.".
    QComboBox* cmbSectionMode = nullptr;
    QLabel* labLength = nullptr;
    QLabel* Label10 = nullptr;
    QComboBox* cmbProfile = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* edtOutputDir = nullptr;
    QPushButton* bbtnBrowse = nullptr;

    // Inside panProgress.
    QLabel* labProcessing = nullptr;
    QLabel* Label1 = nullptr;
    QProgressBar* pgbCurrent = nullptr;
    QLabel* labCurProgress = nullptr;
    QLabel* Label6 = nullptr;
    QProgressBar* pgbTotal = nullptr;
    QLabel* labTotalProgress = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* labElapsed = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* labRemaining = nullptr;
    QCheckBox* chkPreview = nullptr;

    QTimer* tmrPreview = nullptr;
    QTimer* tmrProcess = nullptr;

    // The image lists: player buttons, marking buttons (63 x 35, up then down), the round Start and Cancel
    // faces (110 x 110) and the toolbar's images with their disabled look (48 x 48).
    QList<QPixmap> iglButtons;
    QList<QPixmap> iglbuttons2;
    QList<QPixmap> iglStart;
    QList<QPixmap> imlToolbar;
    QList<QPixmap> imlToolbar2;
};
