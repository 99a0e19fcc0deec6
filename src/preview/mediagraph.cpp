#include "preview/mediagraph.h"

#include "app/apperror.h"
#include "contract/mediaformats.h"

#include <QAudioOutput>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QMediaMetaData>
#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>
#include <QVideoWidget>
#include <algorithm>
#include <cmath>

MediaGraph::MediaGraph(QVideoWidget* videoWindow, QObject* parent)
    : QObject(parent), videoWindow(videoWindow) {}

MediaGraph::~MediaGraph() {
    Deactivate();
}

void MediaGraph::Activate() {
    if (player)
        return;
    CreatePlayer();
    emit Activated(this);
}

void MediaGraph::Deactivate() {
    if (!player)
        return;
    DestroyPlayer();
    emit PlayStopped();
    emit Deactivated();
}

void MediaGraph::CreatePlayer() {
    player = new QMediaPlayer(this);
    audio = new QAudioOutput(this);
    audio->setVolume(1.0f);
    player->setAudioOutput(audio);
    player->setVideoOutput(videoWindow);
    player->setPlaybackRate(1.0);
    connect(player, &QMediaPlayer::mediaStatusChanged, this,
            [this](QMediaPlayer::MediaStatus status) { OnMediaStatus(status); });
}

void MediaGraph::DestroyPlayer() {
    // The player must stop before it goes, or the back-end's pipeline may still call into it.
    player->stop();
    player->setVideoOutput(nullptr);
    delete player;
    player = nullptr;
    delete audio;
    audio = nullptr;
    rendered = false;
}

void MediaGraph::Clear() {
    if (!player)
        return;
    player->stop();
    rendered = false;
    offsetApplies = false;
    startOffsetMs = 0;
    player->setSource(QUrl());
    // Told after the source is gone, so the track keeps showing the old position until the next play.
    emit PlayStopped();
}

void MediaGraph::RefuseLists(const QString& path) const {
    const QFileInfo info(path);
    QFile file(path);
    if (!info.exists())
        return;
    const auto refuse = [](const QString& why) {
        throw AppError(why + QStringLiteral(" ($") +
                       QString::number(QMediaPlayer::FormatError, 16).toUpper() + QStringLiteral(")."));
    };
    if (!info.isFile())
        refuse(QStringLiteral("The file is not a regular file"));
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray head = file.read(4096);
    if (Contract::LooksLikeAList(std::string_view(head.constData(), std::size_t(head.size()))))
        refuse(QStringLiteral("The file is a playlist or names other files, not a video"));
}

void MediaGraph::RenderFile(const QString& path) {
    Activate();
    Clear();
    RefuseLists(path);

    int errorCode = QMediaPlayer::NoError;
    QString errorText;
    QEventLoop loop;
    const auto isSettled = [this] {
        const auto status = player->mediaStatus();
        return status == QMediaPlayer::LoadedMedia || status == QMediaPlayer::InvalidMedia;
    };
    // Wait on the media status: error() keeps an old error across a new source.
    const auto statusConnection = connect(player, &QMediaPlayer::mediaStatusChanged, &loop, [&] {
        if (isSettled())
            loop.quit();
    });
    const auto errorConnection = connect(player, &QMediaPlayer::errorOccurred, &loop,
                                         [&](QMediaPlayer::Error error, const QString& text) {
                                             errorCode = error;
                                             errorText = text;
                                         });
    QTimer timeout;
    timeout.setSingleShot(true);
    connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);

    player->setSource(QUrl::fromLocalFile(path));
    if (!isSettled()) {
        timeout.start(RenderTimeoutMs);
        loop.exec();
    }
    disconnect(statusConnection);
    disconnect(errorConnection);

    if (player->mediaStatus() == QMediaPlayer::LoadedMedia) {
        rendered = true;
        audio->setVolume(1.0f);
        player->setPlaybackRate(1.0);
        startOffsetMs = std::max<qint64>(0, player->position());
        offsetApplies = true;
        return;
    }

    FailRender(errorCode, errorText, timeout.isActive());
}

void MediaGraph::FailRender(int errorCode, QString errorText, bool interrupted) {
    if (player->mediaStatus() == QMediaPlayer::InvalidMedia) {
        if (errorCode == QMediaPlayer::NoError) {
            errorCode =
                player->error() == QMediaPlayer::NoError ? QMediaPlayer::FormatError : player->error();
            errorText = player->errorString();
        }
    } else {
        // Either the back-end never answered, or the program is quitting and ended every event loop.
        errorCode = QMediaPlayer::ResourceError;
        errorText = interrupted ? QStringLiteral("Opening the file was interrupted.")
                                : QStringLiteral("The media back-end did not open the file in time.");
    }
    if (errorText.trimmed().isEmpty())
        errorText = ErrorText(errorCode);
    // A failed pipeline still posts errors for a while, and the back-end would take them for the next
    // file's; a fresh player starts clean.
    DestroyPlayer();
    CreatePlayer();
    throw AppError(errorText + QStringLiteral(" ($") + QString::number(errorCode, 16).toUpper() +
                   QStringLiteral(")."));
}

void MediaGraph::Run() {
    if (!player || !rendered)
        return;
    // At the end the back-end restarts from the beginning, where the start time counts again.
    if (player->mediaStatus() == QMediaPlayer::EndOfMedia)
        offsetApplies = true;
    player->play();
    emit PlayStarted();
}

void MediaGraph::Pause() {
    if (!player || !rendered)
        return;
    player->pause();
    emit PlayPaused();
}

void MediaGraph::Stop() {
    if (!player)
        return;
    player->stop();
    // The back-end's stop goes back to the start.
    offsetApplies = true;
    emit PlayStopped();
}

qint64 MediaGraph::DurationMs() const {
    return rendered ? std::max<qint64>(0, player->duration()) : 0;
}

double MediaGraph::FrameRate() const {
    if (!rendered)
        return 0;
    const double rate = player->metaData().value(QMediaMetaData::VideoFrameRate).toDouble();
    return std::isfinite(rate) && rate > 0 ? rate : 0;
}

qint64 MediaGraph::CurrentPositionMs() const {
    if (!rendered)
        return 0;
    qint64 position = player->position();
    if (offsetApplies)
        position -= startOffsetMs;
    const qint64 duration = DurationMs();
    if (duration > 0)
        position = std::min(position, duration);
    return std::max<qint64>(0, position);
}

bool MediaGraph::Playing() const {
    return player && player->playbackState() == QMediaPlayer::PlayingState;
}

bool MediaGraph::Paused() const {
    return player && player->playbackState() == QMediaPlayer::PausedState;
}

QString MediaGraph::ErrorText(int code) const {
    switch (code) {
    case QMediaPlayer::NoError:
        return QStringLiteral("No error.");
    case QMediaPlayer::ResourceError:
        return QStringLiteral("The media file could not be opened.");
    case QMediaPlayer::FormatError:
        return QStringLiteral("The format of the media file is not supported.");
    case QMediaPlayer::NetworkError:
        return QStringLiteral("A network error occurred.");
    case QMediaPlayer::AccessDeniedError:
        return QStringLiteral("Access to the media file was denied.");
    default:
        return QStringLiteral("Unknown media error.");
    }
}

bool MediaGraph::GetDuration(qint64& milliseconds) const {
    if (!rendered)
        return false;
    milliseconds = DurationMs();
    return true;
}

bool MediaGraph::GetCurrentPosition(qint64& milliseconds) const {
    if (!rendered)
        return false;
    milliseconds = CurrentPositionMs();
    return true;
}

bool MediaGraph::GetStopPosition(qint64& milliseconds) const {
    return GetDuration(milliseconds);
}

void MediaGraph::SetPositions(qint64 milliseconds) {
    if (!rendered)
        return;
    offsetApplies = milliseconds <= 0;
    player->setPosition(std::max<qint64>(0, milliseconds));
}

void MediaGraph::OnMediaStatus(int status) {
    if (status == QMediaPlayer::EndOfMedia && rendered)
        emit PlayEnded();
}
