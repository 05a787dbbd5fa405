// The batch runner on an arbitrary document read from standard input: a
// .kvl document or text with one command per line, every command carried
// out in one interpreter and one scene, the transcript printed.
#include <sstream>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "app/BatchRunner.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(kv::fuzz::asText(data, size)));
    std::ostringstream out;
    std::ostringstream err;
    const std::vector<std::string> args{"--batch", "-"};
    int status = kv::runBatch(args, in, out, err);
    // Standard input is always readable, so the run either completes or the
    // input is refused as neither a document nor text.
    kv::fuzz::check(status == 0 || status == 1, "unexpected exit status");
    kv::fuzz::check(status == 0 || !err.str().empty(), "refused input without a message");
    return 0;
}
