#pragma once

struct ProfileOption;
class QString;

// Why a profile may not pass this option with this value, or an empty text when it may: the rules of
// Contract::OptionRefusal, which the encoder front-end checks again on its own.
QString ProfileOptionRefusal(const ProfileOption& option);
