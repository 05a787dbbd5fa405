// The .kvl reader on arbitrary bytes. Whatever it reads back must survive a
// save: writing the lines either is refused with a message or gives a
// document that reads back to the same lines, undamaged.
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "doc/Document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes = kv::fuzz::asText(data, size);
    kv::DocumentReadResult doc = kv::readDocument(bytes);
    if (!doc.ok) {
        kv::fuzz::check(!doc.error.empty(), "failed read without a message");
        kv::fuzz::check(doc.lines.empty(), "failed read with lines");
        return 0;
    }

    std::vector<std::string> stored;
    for (const std::string& line : doc.lines)
        if (auto s = kv::storedCommandLine(line)) stored.push_back(*s);
    kv::DocumentWriteResult written = kv::writeDocument(doc.lines);
    if (!written.ok) {
        kv::fuzz::check(!written.error.empty(), "refused write without a message");
        return 0;
    }
    kv::DocumentReadResult again = kv::readDocument(written.bytes);
    kv::fuzz::check(again.ok && again.damage.empty(), "a written document reads as damaged");
    kv::fuzz::check(again.lines == stored, "a written document reads back different lines");

    // The batch runner's own decision on the same bytes must not crash either.
    kv::BatchInput input = kv::readBatchInput(bytes);
    kv::fuzz::check(input.ok || !input.error.empty(), "refused batch input without a message");
    return 0;
}
