#pragma once

// What a split run did with its clips, for whoever started it: the window shows it through its messages,
// tessel-split turns it into its exit code.
struct SplitResult {
    enum class End {
        Refused,   // the inputs were refused; no clip was started
        Finished,  // every clip was tried
        Cancelled, // a cancel was asked for (the Cancel image, closing the window, a signal)
        Stopped,   // ended early without a cancel: the only clip's file was kept, or no encoder started
    };
    End end = End::Refused;
    int written = 0;
    int skipped = 0;
    int failed = 0;

    bool Succeeded() const { return end == End::Finished && failed == 0; }
};
