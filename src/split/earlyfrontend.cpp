#include "split/earlyfrontend.h"

#include "app/appcontext.h"
#include "split/frontendprocess.h"

#include "contract/sessionprotocol.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr int PollMs = 100;
// A local file's streams are found in well under a second; ffprobe is asked after this.
constexpr int AnswerWithinMs = 10000;

std::unique_ptr<QProcess>& Waiting() {
    static std::unique_ptr<QProcess> frontEnd;
    return frontEnd;
}

} // namespace

void StartSessionFrontEnd(QProcess& frontEnd) {
    frontEnd.start(App().EncoderPath, {QString::fromLatin1(Contract::ClipsOption)});
}

EarlySessionFrontEnd::EarlySessionFrontEnd() {
    Waiting() = NewFrontEndProcess();
    StartSessionFrontEnd(*Waiting());
}

EarlySessionFrontEnd::~EarlySessionFrontEnd() {
    EndUntaken();
}

void EarlySessionFrontEnd::EndUntaken() {
    if (const std::unique_ptr<QProcess> unused = Take()) {
        unused->kill();
        unused->waitForFinished();
    }
}

std::optional<QByteArray> EarlySessionFrontEnd::AskSourceLength(const QString& sourcePath,
                                                                const std::function<bool()>& stop) {
    QProcess* frontEnd = Waiting().get();
    const std::optional<std::string> question = Contract::FrameClipArguments(
        {Contract::SourceLengthOption,
         QFile::encodeName(QFileInfo(sourcePath).absoluteFilePath()).toStdString()});
    if (!frontEnd || !question || !frontEnd->waitForStarted())
        return std::nullopt;
    frontEnd->write(question->data(), qint64(question->size()));
    Contract::RecordReader reader;
    QElapsedTimer waited;
    waited.start();
    // Nothing but the answer comes before the first clip is given.
    while (frontEnd->state() == QProcess::Running && !(stop && stop()) && waited.elapsed() < AnswerWithinMs) {
        frontEnd->waitForReadyRead(PollMs);
        reader.Feed(frontEnd->readAll().toStdString());
        while (const std::optional<Contract::OutputPiece> piece = reader.Next()) {
            if (piece->isRecord && piece->word == Contract::SourceLengthWord)
                return QByteArray::fromStdString(piece->value);
        }
    }
    // One still at the question would answer it among the clips' output.
    EndUntaken();
    return std::nullopt;
}

std::unique_ptr<QProcess> EarlySessionFrontEnd::Take() {
    std::unique_ptr<QProcess> frontEnd = std::move(Waiting());
    if (frontEnd && frontEnd->state() == QProcess::NotRunning)
        frontEnd.reset();
    return frontEnd;
}
