#pragma once

#include <QByteArray>

// A shell script that stands in for the encoder front-end. Started with a clip's arguments it runs
// clipBody once for that clip; started with "--clips" it is a session: each clip's arguments come on its
// standard input, as the real front-end takes them, clipBody runs for each clip with them as "$@", and a
// clip-end record with clipBody's exit status follows. Asked for a source's length, it answers with
// $length, which setup may set (empty leaves it to ffprobe). setup runs first, once.
QByteArray FakeFrontEndScript(const QByteArray& setup, const QByteArray& clipBody);
