#pragma once

#include <QProcess>
#include <functional>
#include <memory>
#include <optional>

// Starts the encoder front-end as a session: the clips come on its standard input.
void StartSessionFrontEnd(QProcess& frontEnd);

// A session front-end started before the run needs one, so that the seconds a front-end takes to load
// pass while the run is still being prepared. The run's first session takes it over; one left untaken is
// ended with this object.
class EarlySessionFrontEnd {
public:
    EarlySessionFrontEnd();
    ~EarlySessionFrontEnd();
    EarlySessionFrontEnd(const EarlySessionFrontEnd&) = delete;
    EarlySessionFrontEnd& operator=(const EarlySessionFrontEnd&) = delete;

    // The front-end's answer to the question of the source's length (the value of its source-length
    // record), asked before the run so that no ffprobe need load; nothing when it gave none in time or
    // stop said so. A front-end that gives no answer is ended: the run starts its own.
    std::optional<QByteArray> AskSourceLength(const QString& sourcePath, const std::function<bool()>& stop);

    // The front-end started early, once, when it has not ended; nothing otherwise.
    static std::unique_ptr<QProcess> Take();

private:
    static void EndUntaken();
};
