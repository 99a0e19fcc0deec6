#include "fakefrontend.h"

QByteArray FakeFrontEndScript(const QByteArray& setup, const QByteArray& clipBody) {
    // In a session clipBody runs in the session's own process, as a front-end's clip does: an "exit" in it
    // ends the session after that clip's end record, and a kill of the session ends whatever it was doing.
    return "#!/bin/bash\n" + setup + "\nclip() {\n" + clipBody +
           "\n}\n"
           "if [ \"$1\" != --clips ]; then clip \"$@\"; exit; fi\n"
           "trap 'printf \"\\0clip-end %d\\n\" $?' EXIT\n"
           "while :; do\n"
           "  set --; got=\n"
           "  while IFS= read -r -d '' a; do got=1; [ -z \"$a\" ] && break; set -- \"$@\" \"$a\"; done\n"
           "  [ -n \"$got\" ] || { trap - EXIT; exit 0; }\n"
           // The question of the source's length is answered with $length, set by setup (or left to ffprobe).
           "  [ \"$1\" = --source-length ] && { printf '\\0source-length %s\\n' \"$length\"; continue; }\n"
           // Clips made together are made one by one here.
           "  [ \"$1\" = --with-next ] && shift\n"
           "  clip \"$@\"; printf '\\0clip-end %d\\n' $?\n"
           "done\n";
}
