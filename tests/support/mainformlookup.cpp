#include "mainformlookup.h"

#include "preview/dstrackbar.h"
#include "ui/pictures.h"
#include "ui/roundimage.h"
#include "widgets/imagebutton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
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

template <class Control> void Find(QWidget* form, const char* name, Control*& field) {
    field = form->findChild<Control*>(QLatin1String(name));
    if (!field)
        qFatal("The main window has no control %s", name);
}

} // namespace

MainFormControls FindMainControls(QWidget* form) {
    MainFormControls ui;
    Find(form, "panLeft", ui.panLeft);
    Find(form, "imgScreen", ui.imgScreen);
    Find(form, "Image1", ui.Image1);
    Find(form, "VideoWindow", ui.VideoWindow);
    Find(form, "labLeft", ui.labLeft);
    Find(form, "labMiddle", ui.labMiddle);
    Find(form, "labRight", ui.labRight);
    Find(form, "tkbProgress", ui.tkbProgress);
    Find(form, "labCurrent", ui.labCurrent);
    Find(form, "labStart", ui.labStart);
    Find(form, "labEnd", ui.labEnd);
    Find(form, "imgPlay", ui.imgPlay);
    Find(form, "imgPause", ui.imgPause);
    Find(form, "imgStop", ui.imgStop);
    Find(form, "imgSelStart", ui.imgSelStart);
    Find(form, "imgSelEnd", ui.imgSelEnd);
    Find(form, "imgErase", ui.imgErase);
    Find(form, "panRight", ui.panRight);
    Find(form, "ToolBar1", ui.ToolBar1);
    Find(form, "tbtnOpen", ui.tbtnOpen);
    Find(form, "tbtnSettings", ui.tbtnSettings);
    Find(form, "tbtnAbout", ui.tbtnAbout);
    Find(form, "tbtnHelp", ui.tbtnHelp);
    Find(form, "Label2", ui.Label2);
    Find(form, "edtSource", ui.edtSource);
    Find(form, "gpbOutput", ui.gpbOutput);
    Find(form, "panProgress", ui.panProgress);
    Find(form, "imgStart", ui.imgStart);
    Find(form, "imgCancel", ui.imgCancel);
    Find(form, "imgRightBottom", ui.imgRightBottom);
    Find(form, "imgLogo", ui.imgLogo);
    Find(form, "rdbStartEnd", ui.rdbStartEnd);
    Find(form, "Label4", ui.Label4);
    Find(form, "edtStart", ui.edtStart);
    Find(form, "Label5", ui.Label5);
    Find(form, "edtEnd", ui.edtEnd);
    Find(form, "rdbEqual", ui.rdbEqual);
    Find(form, "edtSectionQty", ui.edtSectionQty);
    Find(form, "cmbSectionMode", ui.cmbSectionMode);
    Find(form, "labLength", ui.labLength);
    Find(form, "Label10", ui.Label10);
    Find(form, "cmbProfile", ui.cmbProfile);
    Find(form, "BitBtn1", ui.BitBtn1);
    Find(form, "Label3", ui.Label3);
    Find(form, "edtOutputDir", ui.edtOutputDir);
    Find(form, "bbtnBrowse", ui.bbtnBrowse);
    Find(form, "labProcessing", ui.labProcessing);
    Find(form, "Label1", ui.Label1);
    Find(form, "pgbCurrent", ui.pgbCurrent);
    Find(form, "labCurProgress", ui.labCurProgress);
    Find(form, "Label6", ui.Label6);
    Find(form, "pgbTotal", ui.pgbTotal);
    Find(form, "labTotalProgress", ui.labTotalProgress);
    Find(form, "Label8", ui.Label8);
    Find(form, "labElapsed", ui.labElapsed);
    Find(form, "Label9", ui.Label9);
    Find(form, "labRemaining", ui.labRemaining);
    Find(form, "chkPreview", ui.chkPreview);
    Find(form, "tmrPreview", ui.tmrPreview);
    Find(form, "tmrProcess", ui.tmrProcess);
    ui.iglButtons = Pictures::PlayerButtons();
    ui.iglbuttons2 = Pictures::MarkButtons();
    ui.iglStart = Pictures::RoundButtons();
    ui.imlToolbar = Pictures::ToolbarImages();
    ui.imlToolbar2 = Pictures::ToolbarDisabledImages();
    return ui;
}
