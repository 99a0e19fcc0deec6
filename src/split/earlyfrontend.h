#pragma once

#include <QProcess>
#include <memory>

// Starts the encoder front-end as a session: the clips come on its standard input.
void StartSessionFrontEnd(QProcess& frontEnd);

// A session front-end started before the run needs one, so that the seconds a front-end takes to load
// pass while the run is still being prepared (tessel-split probes the source meanwhile). The run's first
// session takes it over; one left untaken is ended with this object.
class EarlySessionFrontEnd {
public:
    EarlySessionFrontEnd();
    ~EarlySessionFrontEnd();
    EarlySessionFrontEnd(const EarlySessionFrontEnd&) = delete;
    EarlySessionFrontEnd& operator=(const EarlySessionFrontEnd&) = delete;

    // The front-end started early, once, when it has not ended; nothing otherwise.
    static std::unique_ptr<QProcess> Take();
};
