// One console command line through the whole interpreter, as the console
// runs it: parsed and carried out (graph commands build their graphs into a
// scene), the result evaluated once and turned into its text form.
#include <string>

#include "FuzzSupport.h"
#include "graphics/SceneModel.h"
#include "lang/CommandInterpreter.h"
#include "lang/Transcript.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view line = kv::fuzz::asText(data, size);
    // A console line never holds a line break.
    line = line.substr(0, line.find('\n'));

    kv::SceneModel scene;
    kv::CommandInterpreter ci(&scene);
    std::string out = kv::runCommand(ci, line);
    kv::fuzz::check(out.starts_with("   "), "output line without its indent");
    if (ci.hasError())
        kv::fuzz::check(!ci.workspace().error.message.empty(), "error without a message");
    return 0;
}
