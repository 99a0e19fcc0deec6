#include "profiles/allowedoptions.h"

#include "contract/optionrules.h"
#include "profiles/profileoptions.h"

QString ProfileOptionRefusal(const ProfileOption& option) {
    // The same rules that the encoder front-end checks on its own.
    std::optional<std::string> value;
    if (option.value)
        value = option.value->toStdString();
    return QString::fromStdString(Contract::OptionRefusal(option.option.toStdString(), value));
}
