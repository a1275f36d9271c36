// The reader of scripted input (--script): it loads the events of a well-formed script, or none with a
// message that names the file. Fed frame by frame, the loaded events all reach the platform's queue, each
// exactly once.
#include "FuzzFile.h"
#include "framework/Script.h"
#include "platform/Platform.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string path = FuzzWriteFile("input.script", data, size);
    std::string error;
    bool loaded = Script::Load(path, &error);
    FUZZ_CHECK(loaded ? error.empty()
                      : Script::EventCount() == 0 && error.compare(0, path.size(), path) == 0);

    // Frames far apart are skipped: a script may name any frame, and feeding each one would take forever.
    int fed = 0;
    for (long frame = 1; frame <= 1000; ++frame)
    {
        Script::InjectFrame(frame);
        PlatEvent ev;
        while (PlatPollEvent(&ev)) ++fed;
    }
    FUZZ_CHECK(fed <= Script::EventCount());
    Script::Clear();
    return 0;
}
