#pragma once

struct ProfileOption;
class QString;

// Why a profile may not pass this option with this value, or an empty text when it may. A profile only
// adds options to the clip's one output, from a short list of families that never name a file: codecs,
// bit rate and quality, size, frame rate and aspect, channels and sample rate, preset, tune, profile and
// level, pixel format, the source's stream maps and -vn/-an/-sn/-dn, -movflags and -bitexact, a few
// harmless filters, and -cut_points. Each value is one word, except a chain of filters.
QString ProfileOptionRefusal(const ProfileOption& option);
