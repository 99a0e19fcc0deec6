#include "app/appcontext.h"
#include "formsfixture.h"
#include "platform/inifile.h"
#include "profiles/opsettingform.h"
#include "profiles/profilearguments.h"
#include "profiles/profileoptions.h"
#include "profiles/sizeform.h"
#include "profiles/valuelistdelegate.h"
#include "profiles/valuelistview.h"
#include "profilesamples.h"
#include "readonlyfolder.h"
#include "testdoubles.h"
#include "testmedia.h"
#include "ui/mainform.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QtTest>
#include <memory>

using namespace ProfileSamples;

namespace {

// The made-up avi profile with a read-only free-text row (shown "shown", passed "yuv420p") among the video
// rows, and no advanced rows.
const QByteArray EditorProfile = "[Main]\n"
                                 "Type=avi\n"
                                 "Para=5\n"
                                 "0=Video Codec\n"
                                 "1=Video Size\n"
                                 "2=Note\n"
                                 "3=Audio Bitrate\n"
                                 "4=Disable Audio\n"
                                 "[Video Codec]\n"
                                 "Sort=1\n"
                                 "cmd=-vcodec\n"
                                 "Caption=MPEG-4,XviD,\n"
                                 "Value=mpeg4,xvid,\n"
                                 "Index=1\n"
                                 "[Video Size]\n"
                                 "Sort=1\n"
                                 "cmd=-s\n"
                                 "Caption=Original Size,Custom Size,320x240,\n"
                                 "Value=,,320x240,\n"
                                 "Index=2\n"
                                 "[Note]\n"
                                 "Sort=1\n"
                                 "List=0\n"
                                 "ReadOnly=1\n"
                                 "cmd=-pix_fmt\n"
                                 "Caption=shown\n"
                                 "Value=yuv420p\n"
                                 "[Audio Bitrate]\n"
                                 "Sort=2\n"
                                 "List=0\n"
                                 "cmd=-ab\n"
                                 "Caption=128\n"
                                 "Value=128\n"
                                 "[Disable Audio]\n"
                                 "Sort=2\n"
                                 "cmd=-an\n"
                                 "Caption=No,Yes,\n"
                                 "Value=,\\,\n"
                                 "Index=1\n";

const QString FileArguments = QStringLiteral(" -vcodec xvid -s 320x240 -pix_fmt yuv420p -ab 128 -an ");

QModelIndex ValueCell(ValueListView* view, const QString& name) {
    return view->model()->index(view->List()->FindRow(name), ValueListModel::ValueColumn);
}

QWidget* NextTabStop(QWidget* widget) {
    QWidget* next = widget->nextInFocusChain();
    while (next != widget && (!(next->focusPolicy() & Qt::TabFocus) || next->isWindow()))
        next = next->nextInFocusChain();
    return next;
}

// Opens the cell's editor as a person's double click would, and returns it.
QWidget* OpenEditor(ValueListView* view, const QString& name) {
    const QModelIndex cell = ValueCell(view, name);
    view->setCurrentIndex(cell);
    view->edit(cell);
    return view->indexWidget(cell);
}

} // namespace

class TestProfileEditor : public QObject, public FormsFixture {
    Q_OBJECT

    std::unique_ptr<TempProgramDir> program;
    std::unique_ptr<PlatformDoubles> doubles;
    QString editorPath;

    QString Arguments(const QString& path) {
        ProfileOptions options;
        BuildProfileArguments(path, options, opSettingForm->Lists);
        return options.Text();
    }

    // Shows the editor through "Detail" with the main window on the named profile.
    void Detail(const QString& name) {
        ui.cmbProfile->setCurrentText(name);
        ui.BitBtn1->click();
    }

    // Picks "Custom Size" in the video size row's drop-down and sets the size in the size dialog.
    void SetCustomSize(const QString& width, const QString& height) {
        auto* choices = qobject_cast<QComboBox*>(OpenEditor(opSettingForm->vleVideo, "Video Size"));
        QVERIFY(choices);
        choices->setCurrentIndex(0);
        QTest::keyClick(choices, Qt::Key_Down);
        QVERIFY(SizeForm->isVisible());
        SizeForm->edtWidth->setText(width);
        SizeForm->edtHeight->setText(height);
        SizeForm->btnOK->click();
        QVERIFY(!SizeForm->isVisible());
    }

private slots:
    void init() {
        doubles = std::make_unique<PlatformDoubles>();
        program = std::make_unique<TempProgramDir>();
        editorPath = program->Write(QStringLiteral("Profiles/Editor.apf"), EditorProfile);
        program->Write(QStringLiteral("Profiles/Example.apf"), WorkedExample);
        CreateForms({});
    }
    void cleanup() {
        DestroyForms();
        program.reset();
        doubles.reset();
    }

    void createdWithTheMainWindowsNames() {
        QCOMPARE(opSettingForm->cmbProfile->count(), 2);
        QCOMPARE(opSettingForm->cmbProfile->itemText(0), QStringLiteral("Editor"));
        QCOMPARE(opSettingForm->cmbProfile->itemText(1), QStringLiteral("Example"));
        QCOMPARE(opSettingForm->cmbProfile->currentIndex(), -1);
        QVERIFY(!opSettingForm->cmbProfile->isEditable());
        // Before the first load the placeholder rows give the designed heights.
        QCOMPARE(opSettingForm->vleVideo->height(), 108);
        QCOMPARE(opSettingForm->vleAudio->height(), 108);
        QCOMPARE(opSettingForm->vleAdvanced->height(), 36);
    }

    // Every choice of every shipped profile reads whole in its cell; longer explanations belong in help.
    void shippedChoicesFitTheirColumn() {
        DestroyForms();
        program->CopyShippedProfiles();
        CreateForms({});
        QStringList cut;
        for (int profile = 0; profile < ui.cmbProfile->count(); ++profile) {
            Detail(ui.cmbProfile->itemText(profile));
            for (ValueListView* view :
                 {opSettingForm->vleVideo, opSettingForm->vleAudio, opSettingForm->vleAdvanced}) {
                const int room =
                    view->columnWidth(ValueListModel::ValueColumn) -
                    2 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1);
                for (int row = 0; row < view->List()->RowCount(); ++row)
                    for (const QString& choice : view->List()->PickList(row))
                        if (view->fontMetrics().horizontalAdvance(choice) > room)
                            cut << ui.cmbProfile->itemText(profile) + QStringLiteral(": ") + choice;
            }
            opSettingForm->Button2->click();
        }
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1Char('\n'))));
    }

    void layout() {
        QCOMPARE(opSettingForm->windowTitle(), QStringLiteral("Profile"));
        QCOMPARE(opSettingForm->size(), QSize(391, 472));
        QCOMPARE(opSettingForm->cmbProfile->geometry().topLeft(), QPoint(8, 7));
        QCOMPARE(opSettingForm->cmbProfile->width(), 283);
        QCOMPARE(opSettingForm->btnSaveAs->geometry(), QRect(298, 4, 75, 25));
        QCOMPARE(opSettingForm->btnSaveAs->text(), QStringLiteral("&Save as..."));
        QCOMPARE(opSettingForm->ScrollBox1->geometry(), QRect(8, 36, 366, 373));
        QCOMPARE(opSettingForm->Button1->geometry(), QRect(216, 432, 75, 25));
        QCOMPARE(opSettingForm->Button2->geometry(), QRect(304, 432, 75, 25));
        for (QPushButton* button : {opSettingForm->Button1, opSettingForm->Button2})
            QVERIFY(!button->isDefault() && !button->autoDefault());
        for (QPushButton* button :
             {opSettingForm->btnVideo, opSettingForm->btnAudio, opSettingForm->btnAdvanced}) {
            QCOMPARE(button->geometry(), QRect(5, 3, 12, 12));
            QCOMPARE(button->text(), QStringLiteral("-"));
        }
        QCOMPARE(opSettingForm->panAdvanced->height(), 18);
        const QList<QWidget*> order{opSettingForm->cmbProfile,  opSettingForm->btnSaveAs,
                                    opSettingForm->vleVideo,    opSettingForm->vleAudio,
                                    opSettingForm->vleAdvanced, opSettingForm->btnAdvanced,
                                    opSettingForm->btnAudio,    opSettingForm->btnVideo,
                                    opSettingForm->Button1,     opSettingForm->Button2};
        for (int i = 1; i < order.size(); ++i)
            QCOMPARE(NextTabStop(order.at(i - 1)), order.at(i));
    }

    void detailLinesUpTheSelection_data() {
        QTest::addColumn<QString>("editorChoice");
        QTest::addColumn<bool>("reloaded");
        QTest::newRow("same profile keeps the edits") << "Editor" << false;
        QTest::newRow("other profile loads") << "Example" << true;
    }
    void detailLinesUpTheSelection() {
        QFETCH(QString, editorChoice);
        QFETCH(bool, reloaded);
        opSettingForm->cmbProfile->setCurrentText(editorChoice);
        opSettingForm->cmbProfileChange();
        opSettingForm->Lists.vleAudio.SetValueOf(QStringLiteral("Audio Bitrate"), QStringLiteral("96"));
        Detail(QStringLiteral("Editor"));
        QVERIFY(opSettingForm->isVisible());
        QVERIFY(!opSettingForm->isModal());
        QVERIFY(MainForm->isEnabled());
        QCOMPARE(opSettingForm->cmbProfile->currentText(), QStringLiteral("Editor"));
        QCOMPARE(ui.cmbProfile->currentText(), QStringLiteral("Editor"));
        QCOMPARE(opSettingForm->Lists.vleAudio.ValueOf(QStringLiteral("Audio Bitrate")),
                 QString::fromLatin1(reloaded ? "128" : "96"));
        QCOMPARE(opSettingForm->Lists.OutputExt(), QStringLiteral(".avi"));
    }

    void choosingHereLeavesTheMainWindow() {
        Detail(QStringLiteral("Example"));
        opSettingForm->cmbProfile->setCurrentText(QStringLiteral("Editor"));
        opSettingForm->cmbProfileChange();
        QCOMPARE(ui.cmbProfile->currentText(), QStringLiteral("Example"));
        QCOMPARE(Rows(opSettingForm->Lists.vleVideo),
                 (QStringList{"Video Codec=XviD", "Video Size=320x240", "Note=shown"}));
    }

    // Typing and picking reach the argument text at once, saved or not.
    void editsReachTheArgumentsWithoutASave() {
        Detail(QStringLiteral("Editor"));
        QCOMPARE(Arguments(editorPath), FileArguments);
        auto* line = qobject_cast<QLineEdit*>(OpenEditor(opSettingForm->vleAudio, "Audio Bitrate"));
        QVERIFY(line);
        line->selectAll();
        QTest::keyClicks(line, QStringLiteral("192"));
        auto* choices = qobject_cast<QComboBox*>(OpenEditor(opSettingForm->vleVideo, "Video Codec"));
        QVERIFY(choices);
        QTest::keyClick(choices, Qt::Key_Up);
        QCOMPARE(Arguments(editorPath),
                 QStringLiteral(" -vcodec mpeg4 -s 320x240 -pix_fmt yuv420p -ab 192 -an "));
        QCOMPARE(ReadFile(editorPath), EditorProfile);
    }

    void rowsTakeOnlyWhatTheyAllow() {
        Detail(QStringLiteral("Editor"));
        // A pick list offers its choices in a drop-down that takes no typing.
        auto* choices = qobject_cast<QComboBox*>(OpenEditor(opSettingForm->vleVideo, "Video Codec"));
        QVERIFY(choices);
        QVERIFY(!choices->isEditable());
        QCOMPARE(choices->count(), 2);
        QTest::keyClicks(choices, QStringLiteral("h264"));
        QCOMPARE(opSettingForm->Lists.vleVideo.ValueOf(QStringLiteral("Video Codec")),
                 QStringLiteral("XviD"));
        // A read-only free-text row opens no editor at all.
        QVERIFY(!OpenEditor(opSettingForm->vleVideo, "Note"));
        QCOMPARE(opSettingForm->Lists.vleVideo.ValueOf(QStringLiteral("Note")), QStringLiteral("shown"));
        // The key column is fixed: it never becomes the current cell.
        opSettingForm->vleAudio->setCurrentIndex(opSettingForm->vleAudio->model()->index(0, 0));
        QCOMPARE(opSettingForm->vleAudio->currentIndex().column(), int(ValueListModel::ValueColumn));
        QVERIFY(!(opSettingForm->vleAudio->model()->index(0, 0).flags() & Qt::ItemIsEditable));
    }

    void cancelRestoresTheFile() {
        Detail(QStringLiteral("Editor"));
        Edit(opSettingForm->Lists, {"Audio Bitrate=64", "Disable Audio=No", "Video Codec=MPEG-4"});
        QTest::mouseClick(opSettingForm->Button2, Qt::LeftButton);
        QVERIFY(!opSettingForm->isVisible());
        QCOMPARE(Rows(opSettingForm->Lists.vleAudio),
                 (QStringList{"Audio Bitrate=128", "Disable Audio=Yes"}));
        QCOMPARE(Arguments(editorPath), FileArguments);
        QCOMPARE(ReadFile(editorPath), EditorProfile);
    }

    void closeBoxKeepsTheEditsUnsaved() {
        Detail(QStringLiteral("Editor"));
        Edit(opSettingForm->Lists, {"Audio Bitrate=64"});
        opSettingForm->close();
        QVERIFY(!opSettingForm->isVisible());
        QCOMPARE(opSettingForm->Lists.vleAudio.ValueOf(QStringLiteral("Audio Bitrate")),
                 QStringLiteral("64"));
        QCOMPARE(ReadFile(editorPath), EditorProfile);
        // Hidden, not destroyed: the next Detail shows it again with the edit.
        ui.BitBtn1->click();
        QVERIFY(opSettingForm->isVisible());
        QCOMPARE(opSettingForm->Lists.vleAudio.ValueOf(QStringLiteral("Audio Bitrate")),
                 QStringLiteral("64"));
    }

    // A custom size never reaches the file: it records "Original Size", while the list keeps the size.
    void okSavesOriginalSizeAndKeepsTheCustomOne() {
        Detail(QStringLiteral("Editor"));
        SetCustomSize(QStringLiteral("640"), QStringLiteral("480"));
        Edit(opSettingForm->Lists, {"Audio Bitrate=64"});
        QTest::mouseClick(opSettingForm->Button1, Qt::LeftButton);
        QVERIFY(!opSettingForm->isVisible());
        const IniFile saved(editorPath);
        QCOMPARE(saved.ReadInteger(QStringLiteral("Video Size"), QStringLiteral("Index"), -9), 0);
        QCOMPARE(saved.ReadString(QStringLiteral("Audio Bitrate"), QStringLiteral("Caption"), QString()),
                 QStringLiteral("64"));
        QCOMPARE(saved.ReadString(QStringLiteral("Note"), QStringLiteral("Caption"), QString()),
                 QStringLiteral("shown"));
        QCOMPARE(opSettingForm->Lists.vleVideo.ValueOf(QStringLiteral("Video Size")),
                 QStringLiteral("640x480"));
        QCOMPARE(Arguments(editorPath),
                 QStringLiteral(" -vcodec xvid -s 640x480 -pix_fmt yuv420p -ab 64 -an "));
        // The saved file loads again.
        opSettingForm->cmbProfileChange();
        QCOMPARE(opSettingForm->Lists.vleVideo.ValueOf(QStringLiteral("Video Size")),
                 QStringLiteral("Original Size"));
        QVERIFY(doubles->messages.calls.isEmpty());
    }

    void failedSaveIsReportedAndKeepsTheDialog() {
        Detail(QStringLiteral("Editor"));
        SetCustomSize(QStringLiteral("640"), QStringLiteral("480"));
        const ReadOnlyFolder readOnly(program->path() + QStringLiteral("Profiles"));
        if (!readOnly.active())
            QSKIP("This machine cannot make a folder read-only");
        QTest::mouseClick(opSettingForm->Button1, Qt::LeftButton);
        QCOMPARE(doubles->messages.Texts(), QStringList{"Unable to write to " + editorPath});
        QCOMPARE(doubles->messages.calls.at(0).icon, MsgIcon::Stop);
        QVERIFY(opSettingForm->isVisible());
        QCOMPARE(opSettingForm->Lists.vleVideo.ValueOf(QStringLiteral("Video Size")),
                 QStringLiteral("640x480"));
    }

    void withoutASelectionOkAndCancelOnlyClose() {
        opSettingForm->show();
        Edit(opSettingForm->Lists, {"Audio Bitrate=64"});
        QTest::mouseClick(opSettingForm->Button1, Qt::LeftButton);
        QVERIFY(!opSettingForm->isVisible());
        opSettingForm->show();
        QTest::mouseClick(opSettingForm->Button2, Qt::LeftButton);
        QVERIFY(!opSettingForm->isVisible());
        QCOMPARE(opSettingForm->Lists.vleAudio.ValueOf(QStringLiteral("Audio Bitrate")),
                 QStringLiteral("64"));
        QCOMPARE(ReadFile(editorPath), EditorProfile);
        QVERIFY(doubles->messages.calls.isEmpty());
    }

    void saveAs_data() {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("written");
        QTest::newRow("new file") << "Editor"
                                  << "Copy.apf" << true;
        QTest::newRow("cancelled dialog") << "Editor"
                                          << "" << false;
        QTest::newRow("no profile selected") << ""
                                             << "Copy.apf" << false;
    }
    void saveAs() {
        QFETCH(QString, selected);
        QFETCH(QString, answer);
        QFETCH(bool, written);
        QTemporaryDir elsewhere;
        const QString target = elsewhere.filePath(QStringLiteral("Copy.apf"));
        if (selected.isEmpty()) {
            opSettingForm->show();
            opSettingForm->Lists.LoadProfile(editorPath);
        } else {
            Detail(selected);
        }
        SetCustomSize(QStringLiteral("640"), QStringLiteral("480"));
        Edit(opSettingForm->Lists, {"Audio Bitrate=64"});
        doubles->files.saveAnswer = answer.isEmpty() ? QString() : elsewhere.filePath(answer);
        QTest::mouseClick(opSettingForm->btnSaveAs, Qt::LeftButton);
        QCOMPARE(doubles->files.filters, QStringList{"Profiles (*.apf)|*.apf"});
        QCOMPARE(doubles->files.lastDefaultExtension, QStringLiteral(".apf"));
        QCOMPARE(QFile::exists(target), written);
        QVERIFY(opSettingForm->isVisible());
        // The source file and the list stay as they were; no list learns of the new file.
        QCOMPARE(ReadFile(editorPath), EditorProfile);
        QCOMPARE(opSettingForm->Lists.vleVideo.ValueOf(QStringLiteral("Video Size")),
                 QStringLiteral("640x480"));
        QCOMPARE(opSettingForm->cmbProfile->count(), 2);
        if (written) {
            const IniFile copy(target);
            QCOMPARE(copy.ReadInteger(QStringLiteral("Video Size"), QStringLiteral("Index"), -9), 0);
            QCOMPARE(copy.ReadString(QStringLiteral("Audio Bitrate"), QStringLiteral("Value"), QString()),
                     QStringLiteral("64"));
            QCOMPARE(copy.ReadString(QStringLiteral("Main"), QStringLiteral("Type"), QString()),
                     QStringLiteral("avi"));
        }
    }

    // After a load a closed group shows its rows again while its button still shows "+".
    void groupsCloseAndOpen() {
        Detail(QStringLiteral("Editor"));
        ValueListView* video = opSettingForm->vleVideo;
        QCOMPARE(video->height(), 3 * 18);
        QCOMPARE(opSettingForm->vleAdvanced->height(), 18);
        QTest::mouseClick(opSettingForm->btnVideo, Qt::LeftButton);
        QCOMPARE(video->height(), 1);
        QCOMPARE(opSettingForm->btnVideo->text(), QStringLiteral("+"));
        opSettingForm->cmbProfileChange();
        QCOMPARE(video->height(), 3 * 18);
        QCOMPARE(opSettingForm->btnVideo->text(), QStringLiteral("+"));
        QTest::mouseClick(opSettingForm->btnVideo, Qt::LeftButton);
        QCOMPARE(video->height(), 3 * 18 + 1);
        QCOMPARE(opSettingForm->btnVideo->text(), QStringLiteral("-"));
        // An empty list counts as one row.
        QTest::mouseClick(opSettingForm->btnAdvanced, Qt::LeftButton);
        QTest::mouseClick(opSettingForm->btnAdvanced, Qt::LeftButton);
        QCOMPARE(opSettingForm->vleAdvanced->height(), 19);
        // The lists below move with the one above.
        QApplication::processEvents();
        QCOMPARE(opSettingForm->panAudio->y(), opSettingForm->vleVideo->geometry().bottom() + 1);
    }

    void loadErrorsAreReported() {
        program->Write(QStringLiteral("Profiles/Editor.apf"),
                       "[Main]\nType=wmv\nPara=1\n0=B\n[B]\nSort=1\nCaption=x,\nIndex=5\n");
        opSettingForm->cmbProfile->setCurrentText(QStringLiteral("Editor"));
        opSettingForm->cmbProfileChange();
        QCOMPARE(doubles->messages.Texts(), QStringList{"List index out of bounds (5)"});
        QCOMPARE(doubles->messages.calls.at(0).caption, App().ProductName);
    }

    void loadWithCustomSizeOnTheCurrentRowAsksForASize() {
        program->Write(
            QStringLiteral("Profiles/Example.apf"),
            QByteArray(WorkedExample).replace("Value=,,320x240,\n", "Value=,,320x240,\nIndex=1\n"));
        Detail(QStringLiteral("Editor"));
        opSettingForm->vleVideo->setCurrentIndex(ValueCell(opSettingForm->vleVideo, "Video Size"));
        QVERIFY(!SizeForm->isVisible());
        opSettingForm->cmbProfile->setCurrentText(QStringLiteral("Example"));
        opSettingForm->cmbProfileChange();
        QVERIFY(SizeForm->isVisible());
        QCOMPARE(opSettingForm->vleVideo->currentIndex().row(), 1);
        SizeForm->close();
        QCOMPARE(opSettingForm->Lists.vleVideo.ValueOf(QStringLiteral("Video Size")),
                 QStringLiteral("Original Size"));
    }

    void cellsAreDrawnByTheRules() {
        Detail(QStringLiteral("Editor"));
        ValueListView* video = opSettingForm->vleVideo;
        ValueListDelegate* delegate = video->Delegate();
        const QModelIndex note = ValueCell(video, "Note");
        const QModelIndex codec = ValueCell(video, "Video Codec");
        video->setCurrentIndex(codec);
        const QColor window = video->palette().color(QPalette::Base);

        QStyleOptionViewItem option = delegate->PaintOptions(note);
        QCOMPARE(option.palette.color(QPalette::Text), ValueListDelegate::SilverColour);
        option = delegate->PaintOptions(codec);
        QVERIFY(!(option.state & QStyle::State_Selected));
        QCOMPARE(option.backgroundBrush.color(), window);
        QCOMPARE(option.palette.color(QPalette::Text), QColor(Qt::black));
        // Without the focus the current row's key is on the window background in black.
        option = delegate->PaintOptions(codec.siblingAtColumn(ValueListModel::KeyColumn));
        QCOMPARE(option.backgroundBrush.color(), window);
        QCOMPARE(option.palette.color(QPalette::Text), QColor(Qt::black));

        opSettingForm->activateWindow();
        if (!QTest::qWaitForWindowActive(opSettingForm))
            QSKIP("This platform cannot activate windows");
        video->setFocus();
        QVERIFY(video->ListHasFocus());
        option = delegate->PaintOptions(codec.siblingAtColumn(ValueListModel::KeyColumn));
        QCOMPARE(option.backgroundBrush.color(), ValueListDelegate::MarkedKeyColour);
        // The other lists do not mark their current row while they lack the focus.
        ValueListView* audio = opSettingForm->vleAudio;
        audio->setCurrentIndex(audio->model()->index(0, ValueListModel::ValueColumn));
        video->setFocus();
        option = audio->Delegate()->PaintOptions(audio->model()->index(0, ValueListModel::KeyColumn));
        QCOMPARE(option.backgroundBrush.color(), window);
    }
};

QTEST_MAIN(TestProfileEditor)
#include "tst_profileeditor.moc"
