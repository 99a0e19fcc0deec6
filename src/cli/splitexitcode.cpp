#include "cli/splitexitcode.h"

int SplitExitCode(const SplitResult& result, bool interrupted) {
    switch (result.end) {
    case SplitResult::End::Refused:
        return 2;
    case SplitResult::End::Finished:
        // A signal that arrives once every clip has been tried changes nothing about how they went.
        return result.failed == 0 ? 0 : 1;
    case SplitResult::End::Cancelled:
        return interrupted ? 130 : 1;
    case SplitResult::End::Stopped:
        return 1;
    }
    return 1;
}
