#pragma once

#include "split/splitview.h"

// The settings that a run reads at the moment of use: the person may change them while it goes on.
class LivePreferences {
public:
    virtual ~LivePreferences() = default;

    virtual bool OverwriteWithoutAsking() const = 0;
    virtual CompletionChoice ReadCompletionChoice() const = 0;
};
