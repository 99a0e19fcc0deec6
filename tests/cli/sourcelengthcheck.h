#pragma once

#include "cli/durationprobe.h"

#include <optional>

// A source's length twice: as the encoder front-end (the build's own) tells it when asked in a session,
// and as ffprobe tells it.
struct LengthAnswers {
    std::optional<DurationProbe> told; // nothing where the front-end leaves it to ffprobe
    DurationProbe probed;
};
LengthAnswers AskFrontEndAndFfprobe(const QString& source);

// Empty when the front-end gave ffprobe's figures or left the question to ffprobe; else both.
QString LengthDisagreement(const LengthAnswers& answers);
